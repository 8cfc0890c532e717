// Keys in web pages. The system web-browser control takes its keys (Tab between fields, Delete,
// the arrows, Enter, Ctrl+C/V) from its in-place active object, which the message loop must
// offer every key message to before translating it: otherwise the dialog-less host swallows
// them. The control hands that object to its frame when it becomes active; it is kept here per
// browser host window.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <cstddef>

namespace xcyh2::browser {

// Keeps (AddRef) the active object of the browser whose host window is host; null forgets it.
void SetInPlaceActiveObject(HWND host, IOleInPlaceActiveObject* object);

// Offers a key message to the active object of the browser that holds the message's window
// (the focus window or one of its ancestors). True when the page took the key (S_OK): the
// message must then not be translated or dispatched.
bool TranslatePageAccelerator(MSG& msg);

// Makes the forms runtime's message loops offer key messages to the pages.
void RouteKeysToPages();

// Lets go of every kept object (before COM shuts down).
void ForgetInPlaceActiveObjects();
std::size_t InPlaceActiveObjectCount();

}  // namespace xcyh2::browser

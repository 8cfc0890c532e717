// The interception record of one window. Internal to the engine.
//
// A record holds its own window procedure (a ProcedureStub) that jumps to the engine's shared
// procedure with the record in place of the window handle.
#pragma once

#include <windows.h>

#include "winhooks/MsgTable.h"
#include "winhooks/ProcedureStub.h"

namespace xcyh2 {
class CSubclass;
}

namespace xcyh2::detail {

enum class RecordState { Active, ReleaseRequested, CallbackLost, WindowDestroyed };

struct SubclassRecord : ExecutableRecord {
    SubclassRecord();
    ~SubclassRecord();
    SubclassRecord(const SubclassRecord&) = delete;
    SubclassRecord& operator=(const SubclassRecord&) = delete;

    // Points the stub at the shared procedure; returns the record's own procedure.
    WNDPROC Procedure(LRESULT(CALLBACK* shared)(HWND, UINT, WPARAM, LPARAM));

    ProcedureStub stub;
    long nesting = 0;  // messages of the window currently inside this record
    RecordState state = RecordState::Active;
    HWND hwnd = nullptr;
    // The engine whose holder gets the events; null once its registry entry is gone.
    CSubclass* owner = nullptr;
    WNDPROC previousProc = nullptr;  // the procedure that ours replaced
    // previousProc when it is plain code of this process, called without CallWindowProc; null
    // when it is one of the system's translation handles, which only CallWindowProc can call.
    WNDPROC directProc = nullptr;
    LONG_PTR lParamUser = 0;
    bool unicode = false;
    bool destroyOnCallbackLost = false;
    bool attached = false;      // our procedure is (or may still be) called for the window
    UINT_PTR releaseTimer = 0;  // pending release, 0 when none
    MsgTable before;
    MsgTable after;
};

}  // namespace xcyh2::detail

// A form: a top-level window with the classic life cycle.
//   Initialize (once per object) -> Load (window created, hidden) -> Show / Hide -> QueryUnload
//   (may cancel) -> Unload (window destroyed). A form counts as loaded from Load to Unload, and
//   the process ends when no form is loaded (Application).
// Referring to hWnd() loads a form that is not loaded yet, as the classic runtime does.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "forms/Window.h"

namespace xcyh2::forms {

class Form : public Window {
public:
    Form() = default;
    ~Form() override;

    // Loads the form first when needed.
    HWND hWnd();
    bool IsLoaded() const { return loaded_; }

    // Runs Form_Initialize if it has not run yet, as the classic runtime does when an object is
    // first referred to; Load does it too.
    void Initialize();
    void Load();
    void Show(int command = SW_SHOW);
    void Hide();
    // Asks QueryUnload first; returns false when the unload was cancelled.
    bool Unload();

    void SetCaption(const std::wstring& caption);
    std::wstring Caption() const;
    void Minimize();

protected:
    // What the window looks like when it is created; called at every Load.
    virtual WindowDesign Design() const = 0;

    virtual void Form_Initialize() {}
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(bool& cancel) {}
    virtual void Form_Unload() {}
    virtual void Form_Resize() {}
    virtual void Form_MouseDown(short button, short shift, int x, int y) {}
    virtual void Form_MouseMove(short button, short shift, int x, int y) {}
    virtual void Form_MouseUp(short button, short shift, int x, int y) {}

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnWindowGone() override;

private:
    bool initialized_ = false;
    bool loaded_ = false;
    bool unloading_ = false;
    std::uint64_t loads_ = 0;  // counts the loads, so a question can tell it is still the same one
};

}  // namespace xcyh2::forms

// The start-up window, the first object of the process. Before its window exists it checks
// that the machine is on line and runs the update check; then it honours the "/web" switch,
// shows the translucent loading picture (PNG 102, 356 x 122, centred) and loads the login page
// window, which unloads it once the login page has completed. The owner of the shell's windows
// loads the login page window when this window asks for it.
#pragma once

#include "base/BackgroundWork.h"
#include "base/DpiScale.h"
#include "forms/Form.h"
#include "picture/LayeredPicture.h"
#include "update/DownLoadFile.h"

#include <functional>
#include <memory>

namespace xcyh2 {

class LoadFrm : public forms::Form {
public:
    // Raised from the message loop once the loading picture is up and COM has started: the
    // owner loads the login page window, hidden, which starts loading the login page.
    std::function<void()> LoadLogin;

    // Composes the loading picture at the scale (unless it already is), hands it to the window,
    // which takes its size, and centres the window on the screen; called at load with the
    // window's own scale, and again when that scale changes.
    void ApplyScale(const DpiScale& scale);

protected:
    forms::WindowDesign Design() const override;
    void Form_Initialize() override;
    void Form_Load() override;
    void Form_Unload() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The start-up update check: the download (on a thread of its own), then the rest (a
    // silent end when nothing is offered or accepted).
    void FetchUpdateManifest();
    void CheckUpdate();
    // Ends the process once the start-up threads are done.
    void EndAtOnce();

    // The download object of the update check. It and the picture are declared before the
    // thread that uses them, so the thread is waited for before they go.
    std::unique_ptr<CDownLoadFile> m_downfile;
    LayeredPicture picture_;
    // Composes picture_ from Form_Initialize until Form_Load needs it.
    BackgroundWork pictureWork_;
};

}  // namespace xcyh2

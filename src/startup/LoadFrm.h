// The start-up window, the first object of the process. Before its window is shown it checks
// that the machine is on line and runs the update check; then it honours the "/web" switch,
// shows the translucent loading picture (PNG 102, 356 x 122, centred) and loads the login page
// window, which unloads it once the login page has completed.
#pragma once

#include "base/BackgroundWork.h"
#include "forms/Form.h"
#include "login/LayeredPicture.h"
#include "startup/DownLoadFile.h"

#include <memory>
#include <optional>

namespace xcyh2 {

class LoadFrm : public forms::Form {
public:
    static LoadFrm& Instance();

protected:
    forms::WindowDesign Design() const override;
    void Form_Initialize() override;
    void Form_Load() override;
    void Form_Unload() override;

private:
    // The start-up update check: the download (on the checks' thread), then the rest (a silent
    // end when nothing is offered or accepted).
    void FetchUpdateManifest();
    void CheckUpdate();
    // Ends the process once the start-up threads are done.
    void EndAtOnce();
    // Loads the login page window, hidden, which starts loading the login page.
    void LoadLoginWindow();

    // The download object of the update check. It and the picture are declared before the
    // threads that use them, so the threads are waited for before they go.
    std::unique_ptr<CDownLoadFile> m_downfile;
    LayeredPicture picture_;
    // Composes picture_ from Form_Initialize until Form_Load needs it.
    BackgroundWork pictureWork_;
    // The connection check and the manifest download, from Form_Initialize until Form_Load
    // answers them; online_ holds the connection's state until then.
    std::optional<bool> online_;
    BackgroundWork checkWork_;
};

}  // namespace xcyh2

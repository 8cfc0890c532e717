// What the login page window asks of the windows around it: the start-up window's loading
// picture, which it takes over from, and the main window, which it hands the game to. The owner
// of the shell's windows answers; without one, those steps are left out.
#pragma once

#include <string>

namespace xcyh2 {

class ILoginHost {
public:
    // True while the start-up window (the loading picture) is loaded.
    virtual bool LoadingPictureShown() = 0;
    // Unloads the start-up window.
    virtual void EndLoadingPicture() = 0;
    // "app://loadgame": opens the game page in the main window (loading it first when needed)
    // and shows the main window.
    virtual void OpenGame(const std::wstring& strURL) = 0;

protected:
    ~ILoginHost() = default;
};

}  // namespace xcyh2

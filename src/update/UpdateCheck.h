// The update check, on its two paths: at start-up (before any window exists) and from the main
// window's update command. Both download the manifest to the hidden local copy
// (temporary folder + "update.txt"), read its version line and, when the version differs from
// ours (in a build with the publisher's key: is signed and newer than ours) and the player
// agrees, write the embedded updater to the temporary folder as "Update.exe" and start it with
// the shell's location; then the shell leaves.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "update/SignatureCheck.h"
#include "update/DownLoadFile.h"

namespace xcyh2 {

// What the check needs from the world around it. Empty members mean the real thing; tests fill
// them in to answer questions and to watch the updater start and the process end.
struct UpdateCheckEnvironment {
    std::wstring manifestUrl;  // empty: the built-in manifest address
    std::wstring tempDir;      // empty: GetTempDir(); must end in a backslash
    std::wstring programPath;  // empty: this program's own file
    // The key the manifest must be signed with; empty: the build's own key, when it has one.
    std::optional<PublisherKey> publisherKey;
    // A message box with the caption "提示"; returns the button pressed.
    std::function<int(const std::wstring& text, UINT flags)> msgBox;
    // Starts the updater file with the argument string (ShellExecuteA, "open").
    std::function<void(const std::wstring& updater, const std::wstring& arguments)> startUpdater;
    // Ends the process at once.
    std::function<void()> endAtOnce;
};

// What the main window offers its update command.
class IUpdateHost {
public:
    virtual ~IUpdateHost() = default;
    // Sets the main window's m_bExit, so that closing it asks nothing.
    virtual void SetExitFlag() = 0;
    // Unloads the main window; the process ends as no window remains.
    virtual void UnloadMainWindow() = 0;
};

enum class UpdateCheckResult {
    NoManifest,         // no local copy could be read
    NoVersionLine,      // the manifest has no version line
    UpToDate,           // the version equals ours
    Declined,           // a new version, and the player answered No
    UpdaterStarted,     // the updater was written and started
    UpdaterNotWritten,  // the player agreed, but Update.exe could not be written (player told)
    Stopped,            // the download was stopped (the window closed under it): nothing offered
    Unverified,         // the build has a key and the copy does not carry its signature (or is over 1 MiB)
    NotNewer,           // the build has a key and the signed version is older than ours, or not numbers
};

// The steps both paths share: FetchManifest, then OfferUpdate.
UpdateCheckResult RunUpdateCheck(CDownLoadFile& download, const UpdateCheckEnvironment& environment = {});

// The first step, which asks the player nothing and needs no window, so it may run on another
// thread: downloads the manifest to the local copy (or leaves an earlier copy as it is); with a
// key, its signature too, on a thread of its own at the same time, into a file beside the copy.
void FetchManifest(CDownLoadFile& download, const UpdateCheckEnvironment& environment = {});

// The steps after the download, up to and including starting the updater.
UpdateCheckResult OfferUpdate(const UpdateCheckEnvironment& environment = {});

// The start-up path: silent unless a new version is found; ends the process at once when the
// updater has been started. OfferUpdateAtStartUp is its part after FetchManifest.
UpdateCheckResult CheckUpdateAtStartUp(CDownLoadFile& download, const UpdateCheckEnvironment& environment = {});
UpdateCheckResult OfferUpdateAtStartUp(const UpdateCheckEnvironment& environment = {});

// The menu path: also says when the version is current; when the updater has been started it
// sets the main window's exit flag and unloads it. A download stopped under it (the window
// closed meanwhile) ends the check with nothing read and nothing offered.
UpdateCheckResult CheckUpdateFromMenu(CDownLoadFile& download, IUpdateHost& host,
                                      const UpdateCheckEnvironment& environment = {});

}  // namespace xcyh2

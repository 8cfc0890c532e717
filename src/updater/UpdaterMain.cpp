// The updater program: started by the shell with "folder|program file" once the player agreed
// to an update, it downloads the files the manifest lists into that folder and starts the last.
#include <windows.h>

#include "forms/Application.h"
#include "base/CommandLine.h"
#include "base/PublicData.h"
#include "generated/PublisherKey.h"
#include "base/Settings.h"
#include "updater/SingleInstance.h"
#include "updater/UpdateFrm.h"
#include "updater/UpdaterArgs.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::optional<xcyh2::UpdaterTarget> target = xcyh2::SplitUpdaterArguments(xcyh2::ArgumentString(::GetCommandLineW()));
    if (!target) return 0;
    xcyh2::SingleInstance instance(L"xcyh2.Update.running");
    if (!instance.First()) return 0;

    xcyh2::UpdateFrm form(std::move(*target), xcyh2::GetTempDir() + xcyh2::settings::kManifestFileName,
                          xcyh2::settings::BuiltInPublisherKey());
    form.Run();
    return 0;
}

#include "update/UpdateCheck.h"

#include "base/ComApartment.h"
#include "base/SystemLibraries.h"
#include "base/ansi.h"
#include "forms/Application.h"
#include "forms/MsgBox.h"
#include "update/ManifestFile.h"
#include "base/PublicData.h"
#include "generated/PublisherKey.h"
#include "base/Settings.h"
#include "update/SideDownload.h"
#include "update/UpdateManifest.h"
#include "update/VersionOrder.h"

namespace xcyh2 {
namespace {

constexpr const wchar_t* kNewVersionQuestion = L"发现有新版本，是否现在更新！";
constexpr const wchar_t* kUpToDateMessage = L"当前版本已是最新，无需更新！";
constexpr const wchar_t* kUnverifiedMessage = L"无法验证更新信息的来源，本次不进行更新。请稍后再试！";
constexpr const wchar_t* kUpdaterNotWrittenMessage = L"无法写入更新程序，请关闭正在运行的更新程序后重试！";
// The most a signature download may announce: a DER P-256 signature is at most 72 bytes, so an
// answer announcing more is no signature, and is refused before its body is read.
constexpr std::uint64_t kMaxSignatureDownloadBytes = 4096;

// Reads the local copy up to its version line. Nothing when there is no copy to read.
std::optional<std::optional<std::string>> ReadLocalCopy(const std::wstring& path) {
    ManifestVersionReader reader(&IsAnsiLeadByte);
    if (!FeedManifestFile(path, reader)) return std::nullopt;
    return reader.Version();
}

std::wstring TempDir(const UpdateCheckEnvironment& environment) {
    return environment.tempDir.empty() ? GetTempDir() : environment.tempDir;
}

std::optional<PublisherKey> KeyOf(const UpdateCheckEnvironment& environment) {
    return environment.publisherKey ? environment.publisherKey : settings::BuiltInPublisherKey();
}

int Ask(const UpdateCheckEnvironment& environment, const std::wstring& text, UINT flags) {
    if (environment.msgBox) return environment.msgBox(text, flags);
    return forms::MsgBox(text, flags, settings::kDialogCaption);
}

}  // namespace

void FetchManifest(CDownLoadFile& download, const UpdateCheckEnvironment& environment) {
    // Whatever the outcome, an earlier copy (if any) is read next.
    std::wstring url = environment.manifestUrl.empty() ? settings::kUpdateManifestUrl : environment.manifestUrl;
    std::wstring localCopy = TempDir(environment) + settings::kManifestFileName;
    // The signature the same way, at the same time, so that it costs no round trip of its own:
    // one that does not arrive leaves an earlier one, which then verifies only the copy it was
    // made for. When the manifest's download is stopped, the signature's stops too, and the two
    // files stay as they were.
    std::optional<SideDownload> signature;
    if (KeyOf(environment))
        signature.emplace(url + settings::kSignatureSuffix, localCopy + settings::kSignatureSuffix, true,
                          kMaxSignatureDownloadBytes);
    download.DownLoadFile(url, localCopy, true, false);
    if (signature) signature->Finish(download);
}

UpdateCheckResult OfferUpdate(const UpdateCheckEnvironment& environment) {
    std::wstring tempDir = TempDir(environment);
    std::wstring localCopy = tempDir + settings::kManifestFileName;
    std::string localVersion = LocalVersionString();

    if (std::optional<PublisherKey> key = KeyOf(environment)) {
        // Not a byte of a copy the publisher did not sign is read, and the bytes read are the
        // bytes that were checked. A signed list can still be an old one served again: only a
        // newer version than ours is offered.
        SignedManifest copy = ReadSignedManifest(*key, localCopy, localVersion);
        if (copy.end == SignedManifest::End::NoFile) return UpdateCheckResult::NoManifest;
        if (copy.end == SignedManifest::End::Unverified) return UpdateCheckResult::Unverified;
        if (copy.end == SignedManifest::End::NoVersion) return UpdateCheckResult::NoVersionLine;
        VersionOrder order = copy.order;
        if (order == VersionOrder::Same) return UpdateCheckResult::UpToDate;
        if (order != VersionOrder::Newer) return UpdateCheckResult::NotNewer;
    } else {
        // Without a key any other version is offered, an older one too: a publisher may take
        // players back by publishing the older version.
        std::optional<std::optional<std::string>> manifest = ReadLocalCopy(localCopy);
        if (!manifest) return UpdateCheckResult::NoManifest;
        if (!*manifest) return UpdateCheckResult::NoVersionLine;
        if (**manifest == localVersion) return UpdateCheckResult::UpToDate;
    }

    if (Ask(environment, kNewVersionQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return UpdateCheckResult::Declined;

    std::wstring updater = tempDir + settings::kUpdaterFileName;
    if (!SaveResToFile(settings::kResUpdater, settings::kResTypeUpdate, updater)) {
        // Most likely an updater started earlier still runs from that file.
        Ask(environment, kUpdaterNotWrittenMessage, MB_OK | MB_ICONEXCLAMATION);
        return UpdateCheckResult::UpdaterNotWritten;
    }
    std::wstring arguments = UpdaterArguments(environment.programPath.empty() ? forms::Application::ProgramPath() : environment.programPath);
    if (environment.startUpdater) {
        environment.startUpdater(updater, arguments);
    } else {
        ComApartment com;  // the shell may hand the start to a COM handler
        sys::ShellOpen(updater, arguments);
    }
    return UpdateCheckResult::UpdaterStarted;
}

UpdateCheckResult RunUpdateCheck(CDownLoadFile& download, const UpdateCheckEnvironment& environment) {
    FetchManifest(download, environment);
    return OfferUpdate(environment);
}

UpdateCheckResult CheckUpdateAtStartUp(CDownLoadFile& download, const UpdateCheckEnvironment& environment) {
    FetchManifest(download, environment);
    return OfferUpdateAtStartUp(environment);
}

UpdateCheckResult OfferUpdateAtStartUp(const UpdateCheckEnvironment& environment) {
    UpdateCheckResult result = OfferUpdate(environment);
    if (result == UpdateCheckResult::UpdaterStarted) {
        if (environment.endAtOnce) environment.endAtOnce();
        else forms::Application::EndAtOnce();
    }
    return result;
}

UpdateCheckResult CheckUpdateFromMenu(CDownLoadFile& download, IUpdateHost& host,
                                      const UpdateCheckEnvironment& environment) {
    FetchManifest(download, environment);
    if (download.Stopped()) return UpdateCheckResult::Stopped;
    UpdateCheckResult result = OfferUpdate(environment);
    if (result == UpdateCheckResult::UpToDate) {
        Ask(environment, kUpToDateMessage, MB_OK | MB_ICONEXCLAMATION);
    } else if (result == UpdateCheckResult::Unverified || result == UpdateCheckResult::NotNewer) {
        Ask(environment, kUnverifiedMessage, MB_OK | MB_ICONEXCLAMATION);
    } else if (result == UpdateCheckResult::UpdaterStarted) {
        host.SetExitFlag();
        host.UnloadMainWindow();
    }
    return result;
}

}  // namespace xcyh2

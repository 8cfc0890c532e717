#include "updater/UpdateFrm.h"

#include <commctrl.h>

#include <algorithm>

#include "base/BackgroundWork.h"
#include "base/Sha256File.h"
#include "base/SystemLibraries.h"
#include "base/ansi.h"
#include "base/win_handles.h"
#include "controls/DialogChrome.h"
#include "forms/Application.h"
#include "forms/MsgBox.h"
#include "resources/ResourceIds.h"
#include "update/ManifestFile.h"
#include "base/Settings.h"
#include "update/UpdateManifest.h"
#include "update/VersionOrder.h"
#include "updater/PlainFileName.h"
#include "updater/ProgramVersion.h"
#include "forms/ScreenAreas.h"

namespace xcyh2 {
namespace {

// At 96 DPI; the window draws them at its scale.
constexpr int kWidth = 380, kHeight = 118, kCorner = 4;
constexpr EdgeRect kLabel1{20, 46, 20 + 340, 46 + 18};
constexpr EdgeRect kProgress{20, 70, 20 + 340, 70 + 20};

RECT ToRect(const EdgeRect& r) { return {r.left, r.top, r.right, r.bottom}; }

bool FileExists(const std::wstring& path) {
    if (path.empty()) return false;
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Removes what an earlier updater left of its download of target when it was ended midway:
// "<target>.<process id>.part". Only one updater runs at a time, so none of them is in use.
void RemoveLeftoverParts(const std::wstring& target) {
    std::wstring folder = target.substr(0, target.find_last_of(L'\\') + 1);
    std::wstring prefix = target.substr(folder.size()) + L".";
    WIN32_FIND_DATAW found;
    unique_hfind find(::FindFirstFileW((target + L".*.part").c_str(), &found));
    if (!find) return;
    do {
        std::wstring_view name(found.cFileName);
        if (name.size() <= prefix.size() + 5 || !name.starts_with(prefix) || !name.ends_with(L".part")) continue;
        std::wstring_view pid = name.substr(prefix.size(), name.size() - prefix.size() - 5);
        if (pid.find_first_not_of(L"0123456789") != std::wstring_view::npos) continue;
        ::DeleteFileW((folder + std::wstring(name)).c_str());
    } while (::FindNextFileW(find.get(), &found));
}

}  // namespace

UpdateFrm::UpdateFrm(UpdaterTarget target, std::wstring manifestPath, std::optional<PublisherKey> publisherKey)
    : target_(std::move(target)), manifestPath_(std::move(manifestPath)), publisherKey_(std::move(publisherKey)) {
    surface_.SetBackColor(RGB(255, 255, 255));
    surface_.SetDpi(scale_.Dpi());
    m_downfile.QueryFileInfo = [this](std::uint32_t total) { m_downfile_QueryFileInfo(total); };
    m_downfile.Loading = [this](std::uint32_t received) { m_downfile_Loading(received); };
    // The shell may still be ending when the updater starts, and the system does not replace a
    // program that runs.
    m_downfile.replaceRetryMs = 10000;
}

UpdateFrm::~UpdateFrm() {
    finishing_ = true;
    if (IsLoaded()) Unload();
}

forms::WindowDesign UpdateFrm::Design() const {
    forms::WindowDesign design;
    design.className = kClassName;
    design.caption = std::wstring(settings::kWindowCaption) + L"更新";
    design.style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    design.width = scale_.Pixels(kWidth);
    design.height = scale_.Pixels(kHeight);
    design.CentreOnScreen();
    design.background = RGB(255, 255, 255);
    return design;
}

void UpdateFrm::Form_Load() {
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_XCYH2));
    if (icon) {
        ::SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageW(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    RECT client;
    ::GetClientRect(handle(), &client);
    CreateDialogTitleBar(BForm1_, handle(), client.right, kTitleBarId, scale_);
    BForm1_.SetCaption(Caption());
    BForm1_.SetfrmHwnd(handle());

    CreateDialogCloseButton(closebtn_, handle(), client.right, kCloseId, scale_);
    closebtn_.Click = [this] { AskStop(); };

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    sys::comctl32().InitCommonControlsEx.call_or(FALSE, &controls);
    const EdgeRect bar = scale_.Rect(kProgress);
    progress_ = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, bar.left, bar.top, bar.Width(),
                                  bar.Height(), handle(), reinterpret_cast<HMENU>(kProgressId),
                                  ::GetModuleHandleW(nullptr), nullptr);

    ShapeAndRedraw();
}

void UpdateFrm::ShapeAndRedraw() {
    RECT client;
    ::GetClientRect(handle(), &client);
    const int corner = scale_.Pixels(kCorner);
    forms::RectRgn(handle(), client.right + 1, client.bottom + 1, corner, corner);
    surface_.Resize(client.right, client.bottom);
    Redraw();
}

void UpdateFrm::ApplyScale(const DpiScale& scale, const RECT& suggested) {
    scale_ = scale;
    surface_.SetDpi(scale.Dpi());
    BForm1_.SetScale(scale);
    const int width = scale.Pixels(kWidth), height = scale.Pixels(kHeight);
    const RECT place =
        forms::ReachablePlace({suggested.left, suggested.top, suggested.left + width, suggested.top + height}, scale);
    ::SetWindowPos(handle(), nullptr, place.left, place.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    BForm1_.Move(0, 0, width, BForm1_.BarHeight());
    PlaceDialogCloseButton(closebtn_, width, scale);
    const EdgeRect bar = scale.Rect(kProgress);
    ::MoveWindow(progress_, bar.left, bar.top, bar.Width(), bar.Height(), TRUE);
    ShapeAndRedraw();
}

void UpdateFrm::Redraw() {
    if (!exists()) return;
    BForm1_.Printform(surface_);
    const RECT label = ToRect(scale_.Rect(kLabel1));
    surface_.Print(label_, label);
    ::InvalidateRect(handle(), &label, FALSE);
}

void UpdateFrm::SetLabel(const std::wstring& text) {
    label_ = text;
    Redraw();
}

void UpdateFrm::Run() {
    Load();
    if (!IsLoaded()) return;
    Show(SW_SHOWNORMAL);
    ::SetForegroundWindow(handle());
    ::UpdateWindow(handle());

    // The shell checked the list before it started us; it is checked again here, as the copy
    // in the temporary folder may have changed since.
    ManifestCheck check = CheckManifest();
    bool haveManifest = check == ManifestCheck::Usable && DownloadAll();
    finishing_ = true;
    HWND owner = exists() ? handle() : nullptr;
    if (check == ManifestCheck::Unverified) {
        forms::MsgBox(kUnverifiedMessage, MB_OK | MB_ICONEXCLAMATION, settings::kDialogCaption, owner);
    } else if (check == ManifestCheck::NotNewer) {
        forms::MsgBox(kNotNewerMessage, MB_OK | MB_ICONEXCLAMATION, settings::kDialogCaption, owner);
    } else if (!haveManifest) {
        forms::MsgBox(kNoManifestMessage, MB_OK | MB_ICONEXCLAMATION, settings::kDialogCaption, owner);
    } else if (!m_bStop) {
        forms::MsgBox(failures_ ? kPartlyMessage : kDoneMessage,
                      MB_OK | (failures_ ? MB_ICONEXCLAMATION : MB_ICONINFORMATION), settings::kDialogCaption, owner);
        // The manifest lists the shell's new program last. When that file is not there, an
        // earlier line's may be a data file, which "open" would hand to another program: the
        // player gets the shell back instead, when it is there.
        if (listedAny_) {
            if (FileExists(m_strLastSave)) sys::ShellOpen(m_strLastSave);
            else if (FileExists(target_.program)) sys::ShellOpen(target_.program);
        }
    }
    if (IsLoaded()) Unload();
}

UpdateFrm::ManifestCheck UpdateFrm::CheckManifest() {
    if (!publisherKey_) return ManifestCheck::Usable;
    // Read once: the bytes checked here are the bytes whose lines are downloaded, minutes later.
    // A list the publisher signed long ago is still signed: only a newer version than the
    // program's is installed. A program without a version resource (gone, or not one of ours)
    // is older than any version: the update puts it right.
    std::optional<std::string> installed = ProgramFileVersion(target_.program);
    SignedManifest copy = ReadSignedManifest(*publisherKey_, manifestPath_, installed ? *installed : "0");
    if (copy.end == SignedManifest::End::NoFile) return ManifestCheck::Missing;
    if (copy.end == SignedManifest::End::Unverified) return ManifestCheck::Unverified;
    if (copy.end == SignedManifest::End::NoVersion || copy.order != VersionOrder::Newer) return ManifestCheck::NotNewer;
    signedManifest_ = std::move(copy.bytes);
    return ManifestCheck::Usable;
}

bool UpdateFrm::DownloadAll() {
    UpdateLineReader reader(
        [this](const UpdateFileLine& line) {
            DownloadOne(line);
            return !m_bStop;
        },
        &IsAnsiLeadByte);
    if (signedManifest_) {
        FeedManifestBytes(*signedManifest_, reader);
    } else if (!FeedManifestFile(manifestPath_, reader)) {
        return false;
    }
    failures_ += reader.UnusableLines();
    return true;
}

void UpdateFrm::DownloadOne(const UpdateFileLine& line) {
    std::wstring name = AnsiToWide(line.name);
    std::wstring savePath = target_.folder + name;
    listedAny_ = true;
    // The bytes were a plain name; what the system will create is the converted one.
    if (!IsPlainFileName(name)) {
        m_strLastSave.clear();
        ++failures_;
        return;
    }
    m_strLastSave = savePath;  // the last line listed, whether or not its file arrives
    if (publisherKey_ && !line.sha256) {
        ++failures_;  // nothing vouches for its bytes
        return;
    }
    SetLabel(L"正在下载：" + name);
    const std::string server = ServerOf(line.url);
    const std::wstring keptPart = savePath + L".part";
    ShowProgress(0, 1);
    if (!line.sha256) {
        // Nothing can prove a resumed file right: the file is fetched whole, as it always was.
        RemoveLeftoverParts(savePath);
        ::DeleteFileW(keptPart.c_str());
        m_downfile.Verify = nullptr;
        m_downfile.resume = false;
        if (!Fetch(server, line.url, savePath) && !m_bStop) ++failures_;
        return;
    }

    Sha256Digest expected = *line.sha256;
    // Looked at before anything is touched: stopped during the check, every file stays as it was.
    std::optional<Sha256Digest> current =
        HashAnswering([&savePath](std::stop_token stop) { return Sha256OfFile(savePath, stop); });
    if (m_bStop) return;
    RemoveLeftoverParts(savePath);
    if (current == expected) {
        // Already the listed file: nothing to fetch, and what an earlier try kept is no use.
        ::DeleteFileW(keptPart.c_str());
        ShowProgress(1, 1);
        return;
    }
    m_downfile.Verify = [this, expected](HANDLE partFile) {
        return HashAnswering([partFile](std::stop_token stop) { return Sha256OfOpenFile(partFile, stop); }) ==
               expected;
    };
    // A transfer that ends early is tried again from where it ended, after a pause that grows,
    // unless its server has been given up on; a complete file that fails its check is fetched
    // once more, whole (the download has dropped what it held).
    m_downfile.resume = true;
    int retries = 0;
    bool refetched = false;
    for (;;) {
        bool saved = Fetch(server, line.url, savePath);
        if (m_bStop) return;
        if (saved) return;
        CDownLoadFile::End end = m_downfile.LastEnd();
        bool endedEarly = end == CDownLoadFile::End::Interrupted || end == CDownLoadFile::End::Unreached;
        if (endedEarly && retries < kRetries && !reach_.GivenUp(server)) {
            if (!PauseBeforeRetry(kFirstRetryPauseMs << retries++)) return;
        } else if (end == CDownLoadFile::End::Unverified && !refetched) {
            refetched = true;
        } else {
            break;
        }
    }
    ++failures_;
}

bool UpdateFrm::Fetch(const std::string& server, const std::string& url, const std::wstring& savePath) {
    m_downfile.connectTimeoutMs = reach_.GivenUp(server) ? kGivenUpReachMs : kReachMs;
    bool saved = m_downfile.DownLoadFile(AnsiToWide(url), savePath, false, true);
    // Only a server that gave no answer counts against it: not a refusal, a cut, a bad file.
    if (m_downfile.LastEnd() == CDownLoadFile::End::Unreached)
        reach_.NotReached(server);
    else if (m_downfile.Answered())
        reach_.Reached(server);
    return saved;
}

bool UpdateFrm::PauseBeforeRetry(DWORD ms) {
    return forms::Application::DoEventsWhileWaiting({}, ms, [this] { return m_bStop; }) != forms::Application::kStopped;
}

std::optional<Sha256Digest> UpdateFrm::HashAnswering(
    const std::function<std::optional<Sha256Digest>(std::stop_token)>& hash) {
    unique_handle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) return hash({});
    std::stop_source stop;
    std::optional<Sha256Digest> digest;
    {
        BackgroundWork work([&] {
            // Set however the hash ends, so that the wait below always ends.
            struct Signal {
                HANDLE event;
                ~Signal() { ::SetEvent(event); }
            } signal{done.get()};
            digest = hash(stop.get_token());
        });
        const HANDLE handles[] = {done.get()};
        if (forms::Application::DoEventsWhileWaiting(handles, INFINITE, [this] { return m_bStop; }) ==
            forms::Application::kStopped)
            stop.request_stop();
    }  // the work has ended here: at its next piece when it was stopped
    if (m_bStop) return std::nullopt;
    return digest;
}

void UpdateFrm::m_downfile_QueryFileInfo(std::uint32_t dwFileTotalLen) {
    // The bar stays where it is: a resumed transfer reports the bytes it holds next, at once.
    progressTotal_ = dwFileTotalLen;
    progressShownAt_ = ::GetTickCount() - kProgressIntervalMs;
}

void UpdateFrm::m_downfile_Loading(std::uint32_t dwRecivedLen) { ShowProgress(dwRecivedLen, progressTotal_); }

void UpdateFrm::ShowProgress(std::uint64_t done, std::uint64_t total) {
    // Every change repaints the bar, and chunks arrive far more often than an eye can follow:
    // the bar moves at most every kProgressIntervalMs, and at the start and the end of a file.
    int step = total ? static_cast<int>(std::min(done, total) * kProgressSteps / total) : 0;
    if (!progress_ || step == progressStep_) return;
    DWORD now = ::GetTickCount();
    if (step != 0 && step != kProgressSteps && progressStep_ >= 0 && now - progressShownAt_ < kProgressIntervalMs)
        return;
    if (progressStep_ < 0) ::SendMessageW(progress_, PBM_SETRANGE32, 0, kProgressSteps);
    progressStep_ = step;
    progressShownAt_ = now;
    ::SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(step), 0);
}

void UpdateFrm::AskStop() {
    if (finishing_ || m_bStop) return;
    if (forms::MsgBox(kStopQuestion, MB_YESNO | MB_ICONQUESTION, settings::kDialogCaption, handle()) == IDYES) {
        m_bStop = true;
        m_downfile.StopDownLoad();
    }
}

void UpdateFrm::Form_QueryUnload(bool& cancel) {
    if (finishing_) return;
    // Closed from outside (the taskbar, Alt+F4): the same question as the close button; the
    // window goes once the running download has stopped.
    AskStop();
    cancel = true;
}

void UpdateFrm::Form_MouseDown(short button, short, int, int) {
    if (button == forms::kLeftButton) forms::StartSystemDrag(handle());
}

LRESULT UpdateFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result;
    if (surface_.PaintMessage(handle(), msg, wParam, result)) return result;
    if (msg == WM_DPICHANGED && lParam) {
        ApplyScale(DpiScale(HIWORD(wParam)), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    return Form::HandleMessage(msg, wParam, lParam);
}

}  // namespace xcyh2

// UpdateFrm: the updater's window and its work. A small borderless window with the drawn title
// bar, the close button, "正在下载：" with the file's name and the system's progress bar. It
// reads the local copy of the manifest line by line, downloads each listed file into the shell's
// folder (each replaces its old file only once it is complete, and checked when the line carries
// a SHA-256; in a build with the publisher's key the list must carry the publisher's signature
// and every line a SHA-256), tells the player how it went, starts the last file saved (the new
// shell, as the manifest lists it last) and unloads.
//
// A line with a SHA-256 is not fetched when the file in the folder already has it; files are
// hashed on a thread of their own, the window answering meanwhile. Its transfer
// is kept when it ends early and goes on from there, within the run (a few tries, with pauses)
// and in a later run; the check of the complete file is what makes that safe. A server that
// cannot be reached costs the first line to it its tries, and each later line one short try.
//
// The close button asks whether to stop; Yes ends the running download after its chunk, reads
// no further line, shows nothing more and starts nothing.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>

#include "base/Digest.h"
#include "base/WindowScale.h"
#include "update/SignatureCheck.h"
#include "controls/BForm.h"
#include "controls/Surface.h"
#include "controls/iButton.h"
#include "forms/Form.h"
#include "update/DownLoadFile.h"
#include "updater/ReachBudget.h"
#include "updater/UpdateLines.h"
#include "updater/UpdaterArgs.h"

namespace xcyh2 {

class UpdateFrm : public forms::Form {
public:
    static constexpr const wchar_t* kClassName = L"UpdateFrm";
    // Control ids of the window's parts among its children.
    enum : UINT_PTR { kTitleBarId = 1, kCloseId = 2, kProgressId = 3 };
    // A checked file whose transfer ends early, or whose server is not reached, is tried this
    // many times more, the pause before each twice the one before.
    static constexpr int kRetries = 3;
    static constexpr DWORD kFirstRetryPauseMs = 1000;
    // How long a try may take to reach the server (name and connection; the transfer itself is
    // bounded only by its 30 s per read). A connection takes one round trip, and a lost first
    // packet is sent again after 3 s and 9 s by Windows (1, 3, 7 s by Linux): 10 s leaves a slow
    // line room for two losses in a row, and a try that misses is tried again. A server that
    // four tries in a row did not reach is given up on for the run (ReachBudget.h): each later
    // line to it gets a single try of 2 s, a round trip for a server that is back. So ten lines
    // to a server that never answers end in about 65 s (10 + 1 + 10 + 2 + 10 + 4 + 10, then 9
    // times 2), where each try could take two minutes and every line four tries.
    static constexpr DWORD kReachMs = 10000;
    static constexpr DWORD kGivenUpReachMs = 2000;
    static constexpr const wchar_t* kStopQuestion = L"您是否要退出更新！";
    static constexpr const wchar_t* kDoneMessage = L"软件已升至最新版本！";
    static constexpr const wchar_t* kPartlyMessage =
        L"部分文件未能更新（请检查网络、磁盘空间以及游戏文件夹是否可以写入），游戏仍可使用原有版本。";
    static constexpr const wchar_t* kNoManifestMessage = L"找不到更新文件列表，无法更新。请重新启动游戏客户端后再试。";
    static constexpr const wchar_t* kUnverifiedMessage =
        L"更新文件列表未通过发布者签名验证，未进行更新。请重新启动游戏客户端后再试。";
    static constexpr const wchar_t* kNotNewerMessage =
        L"更新文件列表的版本不比已安装的版本新，未进行更新。请重新启动游戏客户端后再试。";

    // With a publisher key, the manifest copy must carry its signature (manifestPath + ".sig")
    // and a newer version than the program file's version resource, and only lines with a
    // SHA-256 are downloaded: the signature vouches for files through their hashes alone.
    UpdateFrm(UpdaterTarget target, std::wstring manifestPath, std::optional<PublisherKey> publisherKey = {});
    ~UpdateFrm() override;

    // Shows the window, downloads every listed file, tells the player, starts the last file
    // saved and unloads. Returns when all that is done.
    void Run();

protected:
    forms::WindowDesign Design() const override;
    void Form_Load() override;
    void Form_QueryUnload(bool& cancel) override;
    void Form_MouseDown(short button, short shift, int x, int y) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    const wchar_t* ErrorSource() const override { return L"UpdateFrm"; }

private:
    enum class ManifestCheck { Usable, Missing, Unverified, NotNewer };
    // In a build with a key: reads the copy once, checks its signature and its version, and
    // keeps the bytes for the download loop.
    ManifestCheck CheckManifest();
    // The download loop; false when the manifest copy could not be opened.
    bool DownloadAll();
    void DownloadOne(const UpdateFileLine& line);
    // One download into savePath, within the limit for its server, noting whether it was reached.
    bool Fetch(const std::string& server, const std::string& url, const std::wstring& savePath);
    // Lets messages through for ms; false when the player stopped the update meanwhile.
    bool PauseBeforeRetry(DWORD ms);
    // The SHA-256 that hash computes on a thread of its own, while this thread lets window
    // messages through: the window keeps answering and the close button works. Nothing when
    // the player stops the update meanwhile (the hash is told to stop, and has ended at its next
    // piece when this returns), or when the file cannot be read.
    std::optional<Sha256Digest> HashAnswering(const std::function<std::optional<Sha256Digest>(std::stop_token)>& hash);
    void AskStop();
    void SetLabel(const std::wstring& text);
    void Redraw();
    // The region and the picture for the window's size now.
    void ShapeAndRedraw();
    // The parts at a new scale (a move to a screen of another scale); the window takes its
    // size and the place asked for, kept in reach.
    void ApplyScale(const DpiScale& scale, const RECT& suggested);

    // Download events.
    void m_downfile_QueryFileInfo(std::uint32_t dwFileTotalLen);
    void m_downfile_Loading(std::uint32_t dwRecivedLen);
    void ShowProgress(std::uint64_t done, std::uint64_t total);

    UpdaterTarget target_;
    std::wstring manifestPath_;
    std::optional<PublisherKey> publisherKey_;
    std::optional<std::string> signedManifest_;  // the copy as it was checked, in a build with a key
    bool m_bStop = false;
    std::wstring m_strLastSave;  // the last listed file, started at the end when it is there
    bool listedAny_ = false;     // a file line was read: something (the file or the shell) is started
    std::size_t failures_ = 0;
    ReachBudget reach_{kRetries + 1};
    bool finishing_ = false;
    std::uint32_t progressTotal_ = 0;
    int progressStep_ = -1;  // the position the bar shows, in kProgressSteps; -1: none yet
    DWORD progressShownAt_ = 0;
    static constexpr int kProgressSteps = 1000;
    static constexpr DWORD kProgressIntervalMs = 50;

    CDownLoadFile m_downfile;
    // The updater's window has no owner: it takes the primary screen's scale.
    DpiScale scale_ = WindowScale(nullptr);
    Surface surface_;
    std::wstring label_;
    BForm BForm1_;
    iButton closebtn_;
    HWND progress_ = nullptr;  // a child: goes with the window
};

}  // namespace xcyh2

// The update check's two paths, in process: questions are answered and the updater start and the
// process end are watched through the check's environment.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "forms/Timer.h"
#include "update/DemoServerAddress.h"
#include "base/PublicData.h"
#include "base/ResourceBytes.h"
#include "generated/PublisherKey.h"
#include "base/Settings.h"
#include "update/UpdateCheck.h"
#include "update/UpdateManifest.h"
#include "support/WinTest.h"

namespace xcyh2 {
namespace {

constexpr const wchar_t* kQuestion = L"发现有新版本，是否现在更新！";
constexpr const wchar_t* kUpToDate = L"当前版本已是最新，无需更新！";
constexpr const wchar_t* kUnverified = L"无法验证更新信息的来源，本次不进行更新。请稍后再试！";
constexpr const wchar_t* kNotWritten = L"无法写入更新程序，请关闭正在运行的更新程序后重试！";

struct Box {
    std::wstring text;
    UINT flags;
    bool operator==(const Box&) const = default;
};

class FakeMainWindow : public IUpdateHost {
public:
    void SetExitFlag() override { calls.push_back("m_bExit = true"); }
    void UnloadMainWindow() override { calls.push_back("Unload"); }
    std::vector<std::string> calls;
};

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = GetTempDir() + L"xcyh2-update-check-test\\";
        ::CreateDirectoryW(dir_.c_str(), nullptr);
        Clean();
        env_.tempDir = dir_;
        env_.programPath = L"D:\\Games\\Shell\\client.exe";
        // Nothing listens on this port: the check reads whatever copy is there.
        env_.manifestUrl = L"http://127.0.0.1:9/gamehome/xcyh2/update.txt";
        env_.msgBox = [this](const std::wstring& text, UINT flags) {
            boxes_.push_back({text, flags});
            return answer_;
        };
        env_.startUpdater = [this](const std::wstring& updater, const std::wstring& arguments) {
            started_.push_back(updater + L" " + arguments);
        };
        env_.endAtOnce = [this] { ++ended_; };
    }
    void TearDown() override {
        if (!test::DemoServerUrl(L"").empty()) test::DemoControl(L"POST", L"/control/reset");
        Clean();
        ::RemoveDirectoryW(dir_.c_str());
    }
    void Clean() {
        for (const wchar_t* name : {L"update.txt", L"update.txt.sig", L"Update.exe"}) {
            std::wstring path = dir_ + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(path.c_str());
        }
    }
    // Whatever is in the folder but the files Clean removes: what a download left behind.
    std::vector<std::wstring> Others() {
        std::vector<std::wstring> others;
        WIN32_FIND_DATAW found;
        HANDLE find = ::FindFirstFileW((dir_ + L"*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return others;
        do {
            std::wstring name = found.cFileName;
            if (name != L"." && name != L".." && name != L"update.txt" && name != L"update.txt.sig" &&
                name != L"Update.exe")
                others.push_back(name);
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
        return others;
    }
    void LocalCopy(const std::string& text) { ASSERT_TRUE(test::WriteWholeFile(dir_ + L"update.txt", text)); }

    std::wstring dir_;
    UpdateCheckEnvironment env_;
    CDownLoadFile download_;
    int answer_ = IDNO;
    std::vector<Box> boxes_;
    std::vector<std::wstring> started_;
    int ended_ = 0;
    FakeMainWindow host_;
};

TEST_F(UpdateCheckTest, NothingIsShownWithoutACopyOrAVersionLineOnEitherPath) {
    EXPECT_EQ(CheckUpdateAtStartUp(download_, env_), UpdateCheckResult::NoManifest);
    EXPECT_EQ(CheckUpdateFromMenu(download_, host_, env_), UpdateCheckResult::NoManifest);
    // Binary garbage, and Chinese text without a line end, hold no version line.
    for (std::string manifest : {std::string("\x00\x81\xff\r\x7f\x80vers\r\nion", 14), std::string("\xb8\xfc\xd0\xc2")}) {
        LocalCopy(manifest);
        EXPECT_EQ(CheckUpdateAtStartUp(download_, env_), UpdateCheckResult::NoVersionLine);
        EXPECT_EQ(CheckUpdateFromMenu(download_, host_, env_), UpdateCheckResult::NoVersionLine);
    }
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(ended_, 0);
    EXPECT_TRUE(host_.calls.empty());
}

TEST_F(UpdateCheckTest, TheSameVersionIsSilentAtStartUpAndSaidOnTheMenu) {
    LocalCopy("VERSION=" + LocalVersionString() + "\r\nfile|http://h/a.exe\r\n");
    EXPECT_EQ(CheckUpdateAtStartUp(download_, env_), UpdateCheckResult::UpToDate);
    EXPECT_TRUE(boxes_.empty());

    EXPECT_EQ(CheckUpdateFromMenu(download_, host_, env_), UpdateCheckResult::UpToDate);
    EXPECT_EQ(boxes_, (std::vector<Box>{{kUpToDate, MB_OK | MB_ICONEXCLAMATION}}));
    EXPECT_TRUE(host_.calls.empty());
    EXPECT_EQ(ended_, 0);
}

TEST_F(UpdateCheckTest, NoToTheQuestionChangesNothing) {
    LocalCopy("version = " + LocalVersionString() + "\r\n");  // the value starts with "= ": a different version
    EXPECT_EQ(CheckUpdateAtStartUp(download_, env_), UpdateCheckResult::Declined);
    EXPECT_EQ(CheckUpdateFromMenu(download_, host_, env_), UpdateCheckResult::Declined);
    EXPECT_EQ(boxes_, (std::vector<Box>{{kQuestion, MB_YESNO | MB_ICONQUESTION}, {kQuestion, MB_YESNO | MB_ICONQUESTION}}));
    EXPECT_FALSE(::GetFileAttributesW((dir_ + L"Update.exe").c_str()) != INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(started_.empty());
    EXPECT_EQ(ended_, 0);
    EXPECT_TRUE(host_.calls.empty());
}

TEST_F(UpdateCheckTest, YesWritesAndStartsTheUpdaterThenLeaves) {
    std::string_view updater = ResourceBytes(101, L"UPDATE");
    ASSERT_NE(updater.data(), nullptr);
    const std::wstring expectedStart = dir_ + L"Update.exe D:\\Games\\Shell|D:\\Games\\Shell\\client.exe";
    LocalCopy("version=1.0.9\r\n");
    answer_ = IDYES;

    // Start-up: the process ends at once.
    EXPECT_EQ(CheckUpdateAtStartUp(download_, env_), UpdateCheckResult::UpdaterStarted);
    EXPECT_EQ(test::ReadWholeFile(dir_ + L"Update.exe"), std::string(updater));
    EXPECT_EQ(started_, std::vector<std::wstring>{expectedStart});
    EXPECT_EQ(ended_, 1);

    // Menu: the main window is told to close without asking; the process itself is not ended.
    started_.clear();
    ASSERT_TRUE(test::WriteWholeFile(dir_ + L"Update.exe", std::string(updater.size() + 100, 'x')));
    env_.programPath = L"E:\\client.exe";
    EXPECT_EQ(CheckUpdateFromMenu(download_, host_, env_), UpdateCheckResult::UpdaterStarted);
    EXPECT_EQ(test::ReadWholeFile(dir_ + L"Update.exe"), std::string(updater));
    EXPECT_EQ(started_, std::vector<std::wstring>{dir_ + L"Update.exe E:\\|E:\\\\client.exe"});
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"m_bExit = true", "Unload"}));
    EXPECT_EQ(ended_, 1);
}

TEST_F(UpdateCheckTest, AnUpdaterFileInUseIsReportedAndNothingEnds) {
    LocalCopy("version=1.2.0\r\n");
    answer_ = IDYES;
    ASSERT_TRUE(test::WriteWholeFile(dir_ + L"Update.exe", "running"));
    // As an updater running from it holds it: readable, not replaceable.
    HANDLE held = ::CreateFileW((dir_ + L"Update.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CheckUpdateAtStartUp(download_, env_), UpdateCheckResult::UpdaterNotWritten);
    EXPECT_EQ(CheckUpdateFromMenu(download_, host_, env_), UpdateCheckResult::UpdaterNotWritten);
    ::CloseHandle(held);
    Box question{kQuestion, MB_YESNO | MB_ICONQUESTION};
    Box notWritten{kNotWritten, MB_OK | MB_ICONEXCLAMATION};
    EXPECT_EQ(boxes_, (std::vector<Box>{question, notWritten, question, notWritten}));
    EXPECT_EQ(test::ReadWholeFile(dir_ + L"Update.exe"), "running");
    EXPECT_TRUE(started_.empty());
    EXPECT_EQ(ended_, 0);
    EXPECT_TRUE(host_.calls.empty());
}

TEST_F(UpdateCheckTest, ADownloadedManifestReplacesTheCopyAndAFailedOneKeepsIt) {
    XCYH2_REQUIRE_DEMO_SERVER();
    LocalCopy("version=1.0.9\r\n");
    // The demo manifest says Version=1.1.0: the stale copy is replaced, hidden, and read.
    env_.manifestUrl = test::DemoServerUrl(L"/gamehome/xcyh2/update.txt");
    EXPECT_EQ(CheckUpdateFromMenu(download_, host_, env_), UpdateCheckResult::UpToDate);
    std::wstring copy = dir_ + L"update.txt";
    EXPECT_TRUE(::GetFileAttributesW(copy.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_NE(test::ReadWholeFile(copy).find("=1.1.0\r\n"), std::string::npos);

    // The server answers 404 now: the hidden copy from before is used again.
    env_.manifestUrl = test::DemoServerUrl(L"/gamehome/xcyh2/missing.txt");
    EXPECT_EQ(CheckUpdateAtStartUp(download_, env_), UpdateCheckResult::UpToDate);
    EXPECT_EQ(boxes_, (std::vector<Box>{{kUpToDate, MB_OK | MB_ICONEXCLAMATION}}));
}

// The main window closed while the menu's check downloads (its close stops the download from a
// message the download lets through): the check offers nothing, whatever copy is on disk.
CDownLoadFile* g_stopping = nullptr;
LRESULT CALLBACK StopTheDownload(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_APP && g_stopping) g_stopping->StopDownLoad();
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(UpdateCheckTest, ADownloadStoppedUnderTheMenuCheckOffersNothing) {
    XCYH2_REQUIRE_DEMO_SERVER();
    LocalCopy("version=1.0.9\r\n");  // an older version: offered, were the check to go on
    env_.manifestUrl = test::DemoServerUrl(L"/gamehome/xcyh2/update.txt");
    WNDCLASSW type{};
    type.lpfnWndProc = &StopTheDownload;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.lpszClassName = L"TestStopTheDownload";
    ::RegisterClassW(&type);
    HWND closer = ::CreateWindowW(type.lpszClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, type.hInstance,
                                  nullptr);
    ASSERT_TRUE(closer);
    g_stopping = &download_;
    ::PostMessageW(closer, WM_APP, 0, 0);  // handled after the first chunk
    EXPECT_EQ(CheckUpdateFromMenu(download_, host_, env_), UpdateCheckResult::Stopped);
    g_stopping = nullptr;
    ::DestroyWindow(closer);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(started_.empty());
    EXPECT_TRUE(host_.calls.empty());
    // The next check runs as usual.
    LocalCopy("version=1.0.9\r\n");
    env_.manifestUrl = L"http://127.0.0.1:9/gamehome/xcyh2/update.txt";
    EXPECT_EQ(CheckUpdateFromMenu(download_, host_, env_), UpdateCheckResult::Declined);
}

// The keys and the signed manifest this run's set-up made with openssl (make-test-keys).
std::string TestKeyFile(const std::wstring& name) {
    wchar_t dir[MAX_PATH] = {};
    DWORD n = ::GetEnvironmentVariableW(L"XCYH2_TEST_KEYS", dir, MAX_PATH);
    return n ? test::ReadWholeFile(std::wstring(dir, n) + L"\\" + name) : std::string();
}
PublisherKey PublicPoint(const std::wstring& name) {
    std::string der = TestKeyFile(name);  // a P-256 key's public point ends its 91 bytes
    PublisherKey key{};
    if (der.size() == 91) std::copy(der.end() - 64, der.end(), key.begin());
    return key;
}

// With a key, only a copy that carries the key's signature is read: anything else is treated as
// a copy without a version line, and the menu says it could not be verified.
TEST_F(UpdateCheckTest, WithAKeyOnlyACopySignedByItIsRead) {
    const std::string manifest = TestKeyFile(L"manifest.txt"), signature = TestKeyFile(L"manifest.txt.sig");
    ASSERT_FALSE(manifest.empty()) << "XCYH2_TEST_KEYS is not set (run through ctest)";
    ASSERT_FALSE(signature.empty());
    auto flipped = [](std::string bytes, std::size_t at) {
        bytes[at] ^= 0x01;
        return bytes;
    };
    struct Case {
        const char* name;
        std::string copy;
        std::optional<std::string> signature;
        UpdateCheckResult result;
    } cases[] = {
        {"signed", manifest, signature, UpdateCheckResult::Declined},
        {"no signature", manifest, std::nullopt, UpdateCheckResult::Unverified},
        {"a signature of zero bytes", manifest, "", UpdateCheckResult::Unverified},
        {"the copy changed after signing (a stale signature)", flipped(manifest, 10), signature,
         UpdateCheckResult::Unverified},
        {"one bit of the signature flipped", manifest, flipped(signature, signature.size() - 1),
         UpdateCheckResult::Unverified},
        {"another key's signature", manifest, TestKeyFile(L"manifest.txt.other.sig"), UpdateCheckResult::Unverified},
        {"a signature file far too long", manifest, signature + std::string(4096, '\0'), UpdateCheckResult::Unverified},
    };
    env_.publisherKey = PublicPoint(L"signer.pub.der");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clean();
        boxes_.clear();
        LocalCopy(c.copy);
        if (c.signature) {
            ASSERT_TRUE(test::WriteWholeFile(dir_ + L"update.txt.sig", *c.signature));
        }
        EXPECT_EQ(CheckUpdateAtStartUp(download_, env_), c.result);
        EXPECT_EQ(CheckUpdateFromMenu(download_, host_, env_), c.result);
        const Box said = c.result == UpdateCheckResult::Unverified ? Box{kUnverified, MB_OK | MB_ICONEXCLAMATION}
                                                                   : Box{kQuestion, MB_YESNO | MB_ICONQUESTION};
        EXPECT_EQ(boxes_,
                  (c.result == UpdateCheckResult::Unverified ? std::vector<Box>{said} : std::vector<Box>{said, said}));
    }
    EXPECT_TRUE(started_.empty());
}

// A signed list can be an old one served again: with a key only a newer version than ours is
// offered. The menu says of an older one what it says of one it cannot verify.
TEST_F(UpdateCheckTest, WithAKeyOnlyASignedNewerVersionIsOffered) {
    using enum UpdateCheckResult;
    struct Case {
        const wchar_t* name;
        UpdateCheckResult result;
        std::vector<Box> menu;  // what the menu path says
    } cases[] = {
        {L"newer", Declined, {{kQuestion, MB_YESNO | MB_ICONQUESTION}}},
        {L"same", UpToDate, {{kUpToDate, MB_OK | MB_ICONEXCLAMATION}}},
        {L"older", NotNewer, {{kUnverified, MB_OK | MB_ICONEXCLAMATION}}},
        {L"letters", NotNewer, {{kUnverified, MB_OK | MB_ICONEXCLAMATION}}},
        {L"digits", NotNewer, {{kUnverified, MB_OK | MB_ICONEXCLAMATION}}},
        {L"oversized", Unverified, {{kUnverified, MB_OK | MB_ICONEXCLAMATION}}},
    };
    env_.publisherKey = PublicPoint(L"signer.pub.der");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.name, c.name + wcslen(c.name)));
        const std::wstring file = std::wstring(L"signed\\") + c.name + L".txt";
        const std::string manifest = TestKeyFile(file), signature = TestKeyFile(file + L".sig");
        ASSERT_FALSE(manifest.empty() || signature.empty()) << "XCYH2_TEST_KEYS holds no signed lists";
        Clean();
        boxes_.clear();
        LocalCopy(manifest);
        ASSERT_TRUE(test::WriteWholeFile(dir_ + L"update.txt.sig", signature));
        EXPECT_EQ(CheckUpdateAtStartUp(download_, env_), c.result);
        std::vector<Box> atStartUp = c.result == Declined ? c.menu : std::vector<Box>{};
        EXPECT_EQ(boxes_, atStartUp);
        boxes_.clear();
        EXPECT_EQ(CheckUpdateFromMenu(download_, host_, env_), c.result);
        EXPECT_EQ(boxes_, c.menu);
    }
    EXPECT_TRUE(started_.empty());
}

// The signature comes from beside the manifest on the server, into a hidden file beside the
// copy; a build without a key asks for none.
TEST_F(UpdateCheckTest, TheSignatureIsFetchedBesideTheManifestOnlyWithAKey) {
    XCYH2_REQUIRE_DEMO_SERVER();
    env_.manifestUrl = test::DemoServerUrl(L"/gamehome/xcyh2/update.txt");
    const std::wstring signature = dir_ + L"update.txt.sig";
    env_.publisherKey = PublicPoint(L"signer.pub.der");
    EXPECT_EQ(CheckUpdateAtStartUp(download_, env_), UpdateCheckResult::UpToDate);
    EXPECT_TRUE(::GetFileAttributesW(signature.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    env_.publisherKey = PublicPoint(L"other.pub.der");
    EXPECT_EQ(CheckUpdateAtStartUp(download_, env_), UpdateCheckResult::Unverified);

    ASSERT_FALSE(settings::kHasPublisherKey) << "the tests run a build without a key";
    Clean();
    env_.publisherKey.reset();
    EXPECT_EQ(CheckUpdateAtStartUp(download_, env_), UpdateCheckResult::UpToDate);
    EXPECT_EQ(::GetFileAttributesW(signature.c_str()), INVALID_FILE_ATTRIBUTES);
}

constexpr const wchar_t* kManifestPath = L"/gamehome/xcyh2/update.txt";

// Serves body at path from now on, in pieces of chunk bytes delayMs apart when chunk is given.
bool Serve(const std::wstring& path, const std::string& body, int chunk = 0, int delayMs = 0) {
    std::wstring object = L"/control/set?path=" + path;
    if (chunk) object += L"&chunk=" + std::to_wstring(chunk) + L"&delay_ms=" + std::to_wstring(delayMs);
    return test::DemoControl(L"POST", object, body);
}

// With a key, the signature is asked for while the manifest is still on its way, not after it;
// and a stop of the manifest's download stops the signature's too, leaving both files as they
// were.
TEST_F(UpdateCheckTest, TheSignatureIsFetchedBesideTheManifestAndStopsWithIt) {
    XCYH2_REQUIRE_DEMO_SERVER();
    env_.manifestUrl = test::DemoServerUrl(kManifestPath);
    env_.publisherKey = PublicPoint(L"signer.pub.der");
    const std::wstring held = L"?path=" + std::wstring(kManifestPath);
    ASSERT_TRUE(test::DemoControl(L"POST", L"/control/clear-requests"));
    ASSERT_TRUE(test::DemoControl(L"POST", L"/control/hold" + held));
    // The manifest is let go once the server has seen the signature asked for; were it asked
    // for only after the manifest, that would not happen, and the manifest goes after 10 s.
    std::atomic<bool> askedMeanwhile = false;
    std::thread releaser([&] {
        for (int i = 0; i < 200 && !askedMeanwhile; ++i) {
            std::string seen;
            test::DemoControl(L"GET", L"/control/requests", {}, &seen);
            if (seen.find("update.txt.sig") != std::string::npos) askedMeanwhile = true;
            else ::Sleep(50);
        }
        test::DemoControl(L"POST", L"/control/release" + held);
    });
    EXPECT_EQ(CheckUpdateAtStartUp(download_, env_), UpdateCheckResult::UpToDate);
    releaser.join();
    EXPECT_TRUE(askedMeanwhile);

    // The window closes under the menu's check while the manifest comes slowly and the
    // signature slower still (a byte every 100 ms: 7 s).
    LocalCopy("version=1.0.9\r\n");
    ASSERT_TRUE(test::WriteWholeFile(dir_ + L"update.txt.sig", "earlier"));
    ASSERT_TRUE(Serve(kManifestPath, "version=9.9.9\r\n" + std::string(40000, ';'), 4096, 100));
    ASSERT_TRUE(Serve(std::wstring(kManifestPath) + L".sig", std::string(72, '\x30'), 1, 100));
    forms::Timer closing;
    closing.Tick = [&] {
        closing.SetEnabled(false);
        download_.StopDownLoad();
    };
    closing.SetInterval(300);
    closing.SetEnabled(true);
    DWORD start = ::GetTickCount();
    EXPECT_EQ(CheckUpdateFromMenu(download_, host_, env_), UpdateCheckResult::Stopped);
    EXPECT_LT(::GetTickCount() - start, 3000u);
    EXPECT_EQ(test::ReadWholeFile(dir_ + L"update.txt"), "version=1.0.9\r\n");
    EXPECT_EQ(test::ReadWholeFile(dir_ + L"update.txt.sig"), "earlier");
    EXPECT_EQ(Others(), std::vector<std::wstring>{});
    EXPECT_TRUE(boxes_.empty());
}

// A signature file the server gets wrong is refused, each at once: nothing of an update is
// fetched or started, and a download that announces more than any signature holds (4 KiB) is
// not read, however slowly it would come.
TEST_F(UpdateCheckTest, ASignatureTheServerGetsWrongIsRefusedAtOnce) {
    XCYH2_REQUIRE_DEMO_SERVER();
    std::mt19937 random(25);
    std::string noise(72, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    struct Case {
        const char* name;
        std::optional<std::string> signature;  // none: the server signs the manifest
        int chunk, delayMs;
        UpdateCheckResult result;
        std::optional<std::size_t> saved;  // the signature file's size after the check
    } cases[] = {
        {"signed", std::nullopt, 0, 0, UpdateCheckResult::Declined, std::nullopt},
        {"0 bytes", "", 0, 0, UpdateCheckResult::Unverified, std::nullopt},
        {"72 random bytes", noise, 0, 0, UpdateCheckResult::Unverified, 72},
        {"4 KiB and one byte", std::string(4097, '\x30'), 0, 0, UpdateCheckResult::Unverified, std::nullopt},
        {"2 MB, 4 KiB every 200 ms", std::string(2000000, '\x30'), 4096, 200, UpdateCheckResult::Unverified,
         std::nullopt},
    };
    env_.manifestUrl = test::DemoServerUrl(kManifestPath);
    env_.publisherKey = PublicPoint(L"signer.pub.der");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clean();
        boxes_.clear();
        ASSERT_TRUE(test::DemoControl(L"POST", L"/control/reset"));
        ASSERT_TRUE(Serve(kManifestPath, "version=9.9.9\r\n"));
        if (c.signature) {
            ASSERT_TRUE(Serve(std::wstring(kManifestPath) + L".sig", *c.signature, c.chunk, c.delayMs));
        }
        DWORD start = ::GetTickCount();
        EXPECT_EQ(CheckUpdateFromMenu(download_, host_, env_), c.result);
        EXPECT_LT(::GetTickCount() - start, 5000u);
        const std::wstring signature = dir_ + L"update.txt.sig";
        if (c.saved) {
            EXPECT_EQ(test::ReadWholeFile(signature).size(), *c.saved);
        } else if (c.result == UpdateCheckResult::Unverified) {
            EXPECT_EQ(::GetFileAttributesW(signature.c_str()), INVALID_FILE_ATTRIBUTES);
        }
        const Box said = c.result == UpdateCheckResult::Unverified ? Box{kUnverified, MB_OK | MB_ICONEXCLAMATION}
                                                                   : Box{kQuestion, MB_YESNO | MB_ICONQUESTION};
        EXPECT_EQ(boxes_, std::vector<Box>{said});
        EXPECT_EQ(Others(), std::vector<std::wstring>{});
    }
    EXPECT_TRUE(started_.empty());
    EXPECT_TRUE(host_.calls.empty());
}

}  // namespace
}  // namespace xcyh2

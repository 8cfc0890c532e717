// The update check's two paths, in process: questions are answered and the updater start and the
// process end are watched through the check's environment.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "startup/DemoServerAddress.h"
#include "startup/PublicData.h"
#include "startup/ResourceBytes.h"
#include "PublisherKey.h"
#include "startup/Settings.h"
#include "startup/UpdateCheck.h"
#include "startup/UpdateManifest.h"
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

}  // namespace
}  // namespace xcyh2

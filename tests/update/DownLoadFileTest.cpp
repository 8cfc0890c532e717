// CDownLoadFile against the demo publisher server (see with-demo-server).
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/PartFile.h"
#include "forms/Timer.h"
#include "update/DemoServerAddress.h"
#include "update/DownLoadFile.h"
#include "base/PublicData.h"
#include "support/WinTest.h"

namespace xcyh2 {
namespace {

using test::DemoServerUrl;

// The server's generated bodies: byte i is i % 251.
std::string Generated(std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

// What an open file holds, from its first byte.
std::string ReadThrough(HANDLE file) {
    std::string data;
    if (!::SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return data;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) data.append(buffer, got);
    return data;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Nothing of an unfinished transfer may stay beside the target.
bool NoPartFilesBeside(const std::wstring& target) {
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((target + L".*.part").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return true;
    ::FindClose(find);
    return false;
}

class DownLoadFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        target_ = GetTempDir() + L"xcyh2-download-test.bin";
        Remove();
    }
    void TearDown() override { Remove(); }
    void Remove() {
        ::SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(target_.c_str());
    }

    // Records every event as text, in order.
    void Record() {
        download_.QueryFileInfo = [this](std::uint32_t total) { events_.push_back("QueryFileInfo " + std::to_string(total)); };
        download_.Loading = [this](std::uint32_t received) { events_.push_back("Loading " + std::to_string(received)); };
        download_.Complete = [this] { events_.push_back("Complete"); };
    }

    bool Get(const std::wstring& path, bool hidden = false, bool events = true) {
        return download_.DownLoadFile(DemoServerUrl(path), target_, hidden, events);
    }

    std::wstring target_;
    CDownLoadFile download_;
    std::vector<std::string> events_;
};

TEST_F(DownLoadFileTest, SavesTheFileAndReportsSizeProgressAndCompletion) {
    XCYH2_REQUIRE_DEMO_SERVER();
    Record();
    ASSERT_TRUE(Get(L"/test/bytes/20000"));
    EXPECT_EQ(events_, (std::vector<std::string>{"QueryFileInfo 20000", "Loading 8192", "Loading 16384",
                                                 "Loading 20000", "Complete"}));
    EXPECT_EQ(test::ReadWholeFile(target_), Generated(20000));
    EXPECT_FALSE(::GetFileAttributesW(target_.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(NoPartFilesBeside(target_));

    // Without events nothing is raised; the object can be used again.
    events_.clear();
    ASSERT_TRUE(Get(L"/test/bytes/100", false, false));
    EXPECT_TRUE(events_.empty());
    EXPECT_EQ(test::ReadWholeFile(target_), Generated(100));
}

// The part file gathers small writes in memory: whatever their sizes, the bytes reach the file
// whole and in order.
TEST_F(DownLoadFileTest, PartFileKeepsTheBytesInOrderWhateverTheWriteSizes) {
    const std::vector<std::vector<DWORD>> cases = {
        {100},
        {8192, 8192, 8192, 8192, 8192, 8192, 8192, 8192, 8192},  // one past the gathered size
        {65536},
        {100, 65536, 100},  // a large write after small ones
        {65000, 1000, 70000, 3},
    };
    for (const auto& sizes : cases) {
        std::size_t total = 0;
        for (DWORD size : sizes) total += size;
        std::string bytes = Generated(total);
        {
            PartFile part(target_, false);
            ASSERT_TRUE(part);
            std::size_t at = 0;
            for (DWORD size : sizes) {
                ASSERT_TRUE(part.Write(bytes.data() + at, size));
                at += size;
            }
            ASSERT_TRUE(part.Commit());
        }
        EXPECT_EQ(test::ReadWholeFile(target_), bytes) << total << " bytes in " << sizes.size() << " writes";
    }
}

TEST_F(DownLoadFileTest, FetchFailuresSaveNothingAndStillComplete) {
    XCYH2_REQUIRE_DEMO_SERVER();
    Record();
    // Status other than 200, no Content-Length, chunked framing, part of a file, nothing
    // listening, no address to ask; only a server not reached is worth another try.
    using End = CDownLoadFile::End;
    const std::pair<std::wstring, End> cases[] = {
        {DemoServerUrl(L"/test/status/404"), End::Failed},
        {DemoServerUrl(L"/test/status/500"), End::Failed},
        {DemoServerUrl(L"/test/nolength/5000"), End::Failed},
        {DemoServerUrl(L"/test/chunked/5000"), End::Failed},
        {DemoServerUrl(L"/test/bytes/0"), End::Failed},
        {DemoServerUrl(L"/test/overrun206/5000?limit=6000"), End::Failed},  // a 206 to a request for all
        {L"http://127.0.0.1:9/nothing-listens-here", End::Unreached},
        {L"ftp://127.0.0.1/file.bin", End::Failed},
        {L"not an address", End::Failed},
    };
    for (const auto& [url, end] : cases) {
        events_.clear();
        EXPECT_FALSE(download_.DownLoadFile(url, target_, false, true)) << testing::PrintToString(url);
        EXPECT_EQ(download_.LastEnd(), end) << testing::PrintToString(url);
        EXPECT_EQ(events_, std::vector<std::string>{"Complete"}) << testing::PrintToString(url);
        EXPECT_FALSE(Exists(target_)) << testing::PrintToString(url);
    }
    // An earlier file stays untouched.
    ASSERT_TRUE(test::WriteWholeFile(target_, "earlier"));
    EXPECT_FALSE(Get(L"/test/status/404"));
    EXPECT_EQ(test::ReadWholeFile(target_), "earlier");
}

TEST_F(DownLoadFileTest, ATransferCutShortFailsAndKeepsTheEarlierFile) {
    XCYH2_REQUIRE_DEMO_SERVER();
    ASSERT_TRUE(test::WriteWholeFile(target_, "earlier"));
    Record();
    EXPECT_FALSE(Get(L"/test/cutoff/20000?announce=30000"));
    EXPECT_EQ(events_.front(), "QueryFileInfo 30000");
    EXPECT_EQ(events_.back(), "Complete");
    EXPECT_EQ(test::ReadWholeFile(target_), "earlier");
    EXPECT_TRUE(NoPartFilesBeside(target_));

    // Without an earlier file nothing is left at all.
    Remove();
    EXPECT_FALSE(Get(L"/test/cutoff/100"));
    EXPECT_FALSE(Exists(target_));
    EXPECT_TRUE(NoPartFilesBeside(target_));
}

TEST_F(DownLoadFileTest, HiddenFilesCanBeDownloadedOverAgain) {
    XCYH2_REQUIRE_DEMO_SERVER();
    ASSERT_TRUE(Get(L"/test/bytes/3000", true));
    EXPECT_TRUE(::GetFileAttributesW(target_.c_str()) & FILE_ATTRIBUTE_HIDDEN);

    ASSERT_TRUE(Get(L"/test/bytes/1000", true));
    EXPECT_EQ(test::ReadWholeFile(target_), Generated(1000));
    EXPECT_TRUE(::GetFileAttributesW(target_.c_str()) & FILE_ATTRIBUTE_HIDDEN);

    // A visible download replaces a hidden file too, and is visible.
    ASSERT_TRUE(Get(L"/test/bytes/500", false));
    EXPECT_EQ(test::ReadWholeFile(target_), Generated(500));
    EXPECT_FALSE(::GetFileAttributesW(target_.c_str()) & FILE_ATTRIBUTE_HIDDEN);

    // So does one over a read-only file.
    ASSERT_TRUE(::SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(Get(L"/test/bytes/700", true));
    EXPECT_EQ(test::ReadWholeFile(target_), Generated(700));
    EXPECT_TRUE(NoPartFilesBeside(target_));
}

TEST_F(DownLoadFileTest, StopFromLoadingEndsAfterThatChunkWithSuccess) {
    XCYH2_REQUIRE_DEMO_SERVER();
    ASSERT_TRUE(test::WriteWholeFile(target_, "earlier"));
    Record();
    auto loading = download_.Loading;
    download_.Loading = [&](std::uint32_t received) {
        loading(received);
        download_.StopDownLoad();
    };
    EXPECT_TRUE(Get(L"/test/bytes/20000"));
    EXPECT_EQ(events_, (std::vector<std::string>{"QueryFileInfo 20000", "Loading 8192", "Complete"}));
    // The unfinished file does not take the earlier one's place.
    EXPECT_EQ(test::ReadWholeFile(target_), "earlier");
    EXPECT_TRUE(NoPartFilesBeside(target_));

    // A stop during the last chunk keeps the complete file; the stop flag is cleared per call.
    events_.clear();
    download_.Loading = [&](std::uint32_t received) {
        loading(received);
        if (received == 20000) download_.StopDownLoad();
    };
    EXPECT_TRUE(Get(L"/test/bytes/20000"));
    EXPECT_EQ(events_.size(), 5u);
    EXPECT_EQ(test::ReadWholeFile(target_), Generated(20000));
}

TEST_F(DownLoadFileTest, FilesThatCannotBeWrittenOrReplacedFail) {
    XCYH2_REQUIRE_DEMO_SERVER();
    Record();
    // No such folder.
    std::wstring missing = GetTempDir() + L"xcyh2-no-such-folder\\file.bin";
    EXPECT_FALSE(download_.DownLoadFile(DemoServerUrl(L"/test/bytes/100"), missing, false, true));
    EXPECT_EQ(events_.back(), "Complete");

    // The target is held open by someone who lets nobody replace it.
    ASSERT_TRUE(test::WriteWholeFile(target_, "earlier"));
    HANDLE held = ::CreateFileW(target_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Get(L"/test/bytes/100"));
    ::CloseHandle(held);
    EXPECT_EQ(test::ReadWholeFile(target_), "earlier");
    EXPECT_TRUE(NoPartFilesBeside(target_));
}

// The verifier reads the complete file through the handle it is given, and that very file then
// takes the target's place: meanwhile no other program can change it or put another file under
// its name.
TEST_F(DownLoadFileTest, AVerifierChecksTheVeryFileThatTakesTheTargetsPlaceAndMayRefuseIt) {
    XCYH2_REQUIRE_DEMO_SERVER();
    const std::wstring forged = GetTempDir() + L"xcyh2-download-test.forged";
    for (bool accept : {false, true}) {
        ASSERT_TRUE(test::WriteWholeFile(target_, "earlier"));
        std::string seen, targetMeanwhile;
        std::vector<std::string> allowed;
        download_.Verify = [&](HANDLE partFile) {
            seen = ReadThrough(partFile);
            targetMeanwhile = test::ReadWholeFile(target_);
            WIN32_FIND_DATAW found;
            HANDLE find = ::FindFirstFileW((target_ + L".*.part").c_str(), &found);
            if (find == INVALID_HANDLE_VALUE) return false;
            ::FindClose(find);
            const std::wstring part = GetTempDir() + found.cFileName;
            const std::pair<const char*, std::function<bool()>> attempts[] = {
                {"opened for writing", [&] {
                     HANDLE h = ::CreateFileW(part.c_str(), GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, 0, nullptr);
                     if (h == INVALID_HANDLE_VALUE) return false;
                     ::CloseHandle(h);
                     return true;
                 }},
                {"deleted", [&] { return ::DeleteFileW(part.c_str()) != FALSE; }},
                {"renamed", [&] { return ::MoveFileExW(part.c_str(), (part + L".moved").c_str(), 0) != FALSE; }},
                {"replaced by another file", [&] {
                     return test::WriteWholeFile(forged, "forged") &&
                            ::MoveFileExW(forged.c_str(), part.c_str(), MOVEFILE_REPLACE_EXISTING);
                 }},
            };
            for (const auto& [what, attempt] : attempts)
                if (attempt()) allowed.push_back(what);
            ::DeleteFileW(forged.c_str());
            return accept;
        };
        EXPECT_EQ(Get(L"/test/bytes/20000"), accept);
        EXPECT_EQ(seen, Generated(20000));
        EXPECT_EQ(targetMeanwhile, "earlier");
        EXPECT_EQ(allowed, std::vector<std::string>{});
        EXPECT_EQ(test::ReadWholeFile(target_), accept ? Generated(20000) : "earlier");
        EXPECT_TRUE(NoPartFilesBeside(target_));
    }
}

TEST_F(DownLoadFileTest, ATargetInUseIsReplacedOnceItIsLetGoWithinTheRetryTime) {
    XCYH2_REQUIRE_DEMO_SERVER();
    ASSERT_TRUE(test::WriteWholeFile(target_, "earlier"));
    HANDLE held = ::CreateFileW(target_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    // Let go 600 ms later, as a program that was still ending would.
    forms::Timer timer;
    timer.Tick = [&] {
        timer.SetEnabled(false);
        ::CloseHandle(held);
        held = nullptr;
    };
    timer.SetInterval(600);
    timer.SetEnabled(true);
    download_.replaceRetryMs = 10000;
    EXPECT_TRUE(Get(L"/test/bytes/100"));
    EXPECT_EQ(held, nullptr);
    EXPECT_EQ(test::ReadWholeFile(target_), Generated(100));
    EXPECT_TRUE(NoPartFilesBeside(target_));
    if (held) ::CloseHandle(held);
}

TEST_F(DownLoadFileTest, WindowMessagesRunBetweenChunksOfASlowTransfer) {
    XCYH2_REQUIRE_DEMO_SERVER();
    forms::Timer timer;
    int ticks = 0;
    timer.Tick = [&] { ++ticks; };
    timer.SetInterval(20);
    timer.SetEnabled(true);
    int chunks = 0;
    download_.Loading = [&](std::uint32_t) { ++chunks; };
    // Ten pieces 150 ms apart: about 1.5 s during which only the download's own pumping runs.
    ASSERT_TRUE(Get(L"/test/slow/40960?chunk=4096&delay_ms=150"));
    EXPECT_EQ(test::ReadWholeFile(target_), Generated(40960));
    EXPECT_GE(chunks, 5);
    EXPECT_GE(ticks, 5);
}

// A listener on 127.0.0.1 that never accepts, its one place in the queue taken: the system drops
// every further connection attempt, which then waits for the client's own limit.
class FullListener {
public:
    FullListener() {
        WSADATA data;
        started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof(address);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0 || ::listen(listener_, 0) != 0 ||
            ::connect(filler_, reinterpret_cast<sockaddr*>(&address), size) != 0)
            return;
        port_ = ntohs(address.sin_port);
    }
    ~FullListener() {
        ::closesocket(filler_);
        ::closesocket(listener_);
        if (started_) ::WSACleanup();
    }
    std::wstring Url() const { return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/file.bin"; }
    explicit operator bool() const { return port_ != 0; }

private:
    bool started_ = false;
    SOCKET listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    SOCKET filler_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    unsigned short port_ = 0;
};

// Only a server that gave no answer counts as not reached: one whose connection attempts are
// dropped (given up on at the reach limit, which the download holds itself), one that refuses
// the connection, one that says nothing past the receive limit (the reach limit, shorter, does
// not cut a server that was reached). Window messages go on meanwhile.
TEST_F(DownLoadFileTest, AServerThatGivesNoAnswerIsNotReachedWithinTheLimits) {
    XCYH2_REQUIRE_DEMO_SERVER();
    FullListener full;
    ASSERT_TRUE(full);
    Record();
    download_.connectTimeoutMs = 1000;
    download_.receiveTimeoutMs = 2500;
    using End = CDownLoadFile::End;
    const struct {
        const char* what;
        std::wstring url;
        End end;
        bool answered;
        DWORD minMs, maxMs;  // how long it takes
    } cases[] = {
        {"connection attempts dropped", full.Url(), End::Unreached, false, 900, 2000},
        {"connection refused", L"http://127.0.0.1:9/file.bin", End::Unreached, false, 0, 1000},
        {"no answer after the connection", DemoServerUrl(L"/test/stall?ms=30000"), End::Unreached, false, 2400, 4000},
        {"refused by the server", DemoServerUrl(L"/test/status/404"), End::Failed, true, 0, 1000},
        {"cut short by the server", DemoServerUrl(L"/test/cutoff/5000"), End::Interrupted, true, 0, 1000},
    };
    forms::Timer timer;
    int ticks = 0;
    timer.Tick = [&] { ++ticks; };
    timer.SetInterval(50);
    timer.SetEnabled(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        events_.clear();
        ticks = 0;
        DWORD start = ::GetTickCount();
        EXPECT_FALSE(download_.DownLoadFile(c.url, target_, false, true));
        DWORD took = ::GetTickCount() - start;
        EXPECT_EQ(download_.LastEnd(), c.end);
        EXPECT_EQ(download_.Answered(), c.answered);
        EXPECT_GE(took, c.minMs);
        EXPECT_LT(took, c.maxMs);
        EXPECT_GE(ticks, static_cast<int>(c.minMs / 100));
        EXPECT_EQ(events_.back(), "Complete");
        EXPECT_FALSE(Exists(target_));
    }
}

// Stopped while the server is being reached: at once, as stopped, with the target as it was.
TEST_F(DownLoadFileTest, AStopWhileTheServerIsReachedEndsTheDownloadAtOnce) {
    FullListener full;
    ASSERT_TRUE(full);
    ASSERT_TRUE(test::WriteWholeFile(target_, "earlier"));
    forms::Timer timer;
    timer.Tick = [&] { download_.StopDownLoad(); };
    timer.SetInterval(300);
    timer.SetEnabled(true);
    DWORD start = ::GetTickCount();
    EXPECT_TRUE(download_.DownLoadFile(full.Url(), target_, false, true));
    EXPECT_LT(::GetTickCount() - start, 2000u);
    EXPECT_EQ(download_.LastEnd(), CDownLoadFile::End::Stopped);
    EXPECT_EQ(test::ReadWholeFile(target_), "earlier");
    EXPECT_TRUE(NoPartFilesBeside(target_));
}

// With resume on, what an interrupted transfer left in "<target>.part" is continued when the
// server sends exactly the rest, and dropped for the whole file otherwise; the complete file is
// always checked before it takes the target's place.
TEST_F(DownLoadFileTest, AResumedDownloadAppendsOnlyTheRestAndStartsAfreshOtherwise) {
    XCYH2_REQUIRE_DEMO_SERVER();
    const std::wstring page = L"/xcyh2/game1.html";  // a site file: the server answers ranges for it
    ASSERT_TRUE(Get(page, false, false));
    const std::string whole = test::ReadWholeFile(target_);
    ASSERT_GT(whole.size(), 100u);
    const std::string half = whole.substr(0, whole.size() / 2);
    const std::wstring kept = target_ + L".part";
    using End = CDownLoadFile::End;
    struct Case {
        const char* what;
        std::wstring path;
        std::string held;  // in the kept part file before the download
        std::string body;  // what the server's whole answer is
        End end;
        std::string firstLoading;  // the first progress event
        std::string keptAfter;     // in the kept part file after it (none when empty)
        bool stopInCheck = false;  // the player stops while the complete file is checked
    } cases[] = {
        {"the rest of the file", page, half, whole, End::Saved, "Loading " + std::to_string(half.size()), ""},
        {"stopped during the check: the target stays, the bytes are kept", page, half, whole, End::Stopped,
         "Loading " + std::to_string(half.size()), whole, true},
        {"held bytes of another file", page, std::string(half.size(), 'x'), whole, End::Unverified,
         "Loading " + std::to_string(half.size()), ""},
        {"more held than the file has", page, whole + "tail", whole, End::Saved, "", ""},
        {"a server that ignores the range", L"/test/bytes/3000", half, Generated(3000), End::Saved, "Loading 3000", ""},
        // Chunked, it goes on past the range it announced (to 1 MiB): neither it nor what was
        // held is of use.
        {"an answer past its range", L"/test/overrun206/3000?limit=1048576", Generated(1000), Generated(3000),
         End::Failed, "Loading 1000", ""},
        {"a 206 without Content-Range: the whole file is asked for", L"/test/norange206/3000", Generated(1000),
         Generated(3000), End::Saved, "Loading 3000", ""},
        {"cut short: kept for the next try", L"/test/cutoff/5000?announce=9000", "", "", End::Interrupted,
         "Loading 5000", Generated(5000)},
        {"a whole answer cut short replaces what was held", L"/test/cutoff/5000?announce=9000", "abc", "",
         End::Interrupted, "Loading 5000", Generated(5000)},
    };
    download_.resume = true;
    Record();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(test::WriteWholeFile(target_, "earlier"));
        ASSERT_TRUE(test::WriteWholeFile(kept, c.held));
        download_.Verify = [&](HANDLE partFile) {
            if (c.stopInCheck) download_.StopDownLoad();
            return ReadThrough(partFile) == c.body;
        };
        events_.clear();
        Get(c.path);
        EXPECT_EQ(download_.LastEnd(), c.end);
        EXPECT_EQ(test::ReadWholeFile(target_), c.end == End::Saved ? c.body : "earlier");
        EXPECT_EQ(Exists(kept) ? test::ReadWholeFile(kept) : "", c.keptAfter);
        if (!c.firstLoading.empty()) {
            ASSERT_GE(events_.size(), 2u);
            EXPECT_EQ(events_[1], c.firstLoading);
        }
        EXPECT_TRUE(NoPartFilesBeside(target_));
        ::DeleteFileW(kept.c_str());
    }
}

}  // namespace
}  // namespace xcyh2

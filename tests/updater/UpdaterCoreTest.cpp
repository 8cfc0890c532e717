#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/utf.h"
#include "update/UpdateManifest.h"
#include "updater/PlainFileName.h"
#include "updater/ReachBudget.h"
#include "updater/UpdateLines.h"
#include "updater/UpdaterArgs.h"

namespace xcyh2 {
namespace {

struct Read {
    std::vector<std::string> lines;  // "name url" or "name url #hash-first-byte"
    std::size_t unusable = 0;
    bool operator==(const Read&) const = default;
};

void PrintTo(const Read& read, std::ostream* out) {
    for (const auto& line : read.lines) *out << "[" << line << "] ";
    *out << read.unusable << " unusable";
}

Read ReadLines(std::string_view manifest, std::size_t piece, std::size_t stopAfter = SIZE_MAX) {
    Read read;
    UpdateLineReader reader([&](const UpdateFileLine& file) {
        std::string text = file.name + " " + file.url;
        if (file.sha256) text += " #" + std::to_string((*file.sha256)[0]) + "/" + std::to_string((*file.sha256)[31]);
        read.lines.push_back(text);
        return read.lines.size() < stopAfter;
    });
    bool stopped = false;
    for (std::size_t at = 0; at < manifest.size() && !stopped; at += piece) stopped = reader.Feed(manifest.substr(at, piece));
    if (!stopped) reader.Finish();
    read.unusable = reader.UnusableLines();
    return read;
}

const std::string kHash = "00112233445566778899aabbccddeeff00112233445566778899AABBCCDDEEFF";

TEST(UpdaterLines, GivesEachUsableFileLineInOrderAndCountsTheUnusableOnes) {
    struct Case {
        const char* what;
        std::string manifest;
        Read expected;
    };
    const std::vector<Case> cases = {
        {"version line and two files",
         "version=1.2.0\r\nres|http://h/d/a.dat\r\nexe|http://h/xcyh2.exe\r\n",
         {{"a.dat http://h/d/a.dat", "xcyh2.exe http://h/xcyh2.exe"}, 0}},
        {"CR alone, no end after the last line", "x|http://h/a\rVERSION 9\rx|http://h/b", {{"a http://h/a", "b http://h/b"}, 0}},
        {"any line holding version is passed over", "x|http://h/version/a.exe\r\n", {{}, 0}},
        {"a lone LF belongs to the line", "x|http://h/a\nb|http://h/c\r\n", {{}, 1}},
        {"fewer than two fields, blank lines", "just text\r\n\r\n\r\n|\r\nx|http://h/a.exe\r\n",
         {{"a.exe http://h/a.exe"}, 1}},
        {"no slash: the whole field is the name", "x|a.exe\r\n", {{"a.exe a.exe"}, 0}},
        {"a slash in field 3 does not move the name", "x|http://h/a.exe|see/notes\r\n", {{"a.exe http://h/a.exe"}, 0}},
        {"hash in field 3, either case and spaces around", "x|http://h/a.exe| " + kHash + " |more\r\n",
         {{"a.exe http://h/a.exe #0/255"}, 0}},
        {"a third field that is no hash is ignored",
         "x|http://h/a|" + kHash.substr(1) + "\r\nx|http://h/b|" + kHash + "0\r\nx|http://h/c|" + kHash.substr(2) + "zz\r\n",
         {{"a http://h/a", "b http://h/b", "c http://h/c"}, 0}},
        {"traversal and unusable names",
         "x|http://h/\r\nx|http://h/..\r\nx|..\\x.exe\r\nx|http://h/a/..\r\nx|http://h/CON.txt\r\nx|http://h/a.exe.\r\n"
         "x|http://h/a \r\nx|http://h/a?b\r\nx|http://h/a:b\r\nx|http://h/a\tb\r\n",
         {{}, 10}},
        {"GBK names: a trail byte that looks like | or \\ is part of the character",
         "x|http://h/\xB9\x7C.txt|\r\nx|http://h/\xCA\x5C.exe\r\n",
         {{"\xB9\x7C.txt http://h/\xB9\x7C.txt", "\xCA\x5C.exe http://h/\xCA\x5C.exe"}, 0}},
        {"an overlong line is skipped, the next one read",
         "x|http://h/" + std::string(UpdateLineReader::kMaxLineBytes, 'a') + "\r\nx|http://h/b\r\n", {{"b http://h/b"}, 1}},
    };
    for (const auto& c : cases) {
        for (std::size_t piece : {c.manifest.size() + 1, std::size_t{1}, std::size_t{3}}) {
            EXPECT_EQ(ReadLines(c.manifest, piece), c.expected) << c.what << ", pieces of " << piece;
        }
    }
    // A handler that stops is asked about no further line.
    EXPECT_EQ(ReadLines("x|http://h/a\r\nx|http://h/b\r\n", 1, 1).lines, std::vector<std::string>{"a http://h/a"});
}

TEST(UpdaterLines, PlainFileNames) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"xcyh2.exe", true},   {"a b.dat", true},     {".hidden", true},    {"CONSOLE.txt", true},
        {"COM0", true},        {"LPT10", true},       {"\xD6\xD0\xCE\xC4.txt", true},
        {"", false},           {".", false},          {"..", false},        {"a.", false},
        {"a ", false},         {"a\\b", false},       {"a/b", false},       {"C:a", false},
        {"a*", false},         {"a?", false},         {"a\"", false},       {"<a>", false},
        {"a|b", false},        {"a\x01", false},      {"a\x7F", false},     {std::string("a\0b", 3), false},
        {"con", false},        {"Con.txt", false},    {"NUL.tar.gz", false}, {"aux .x", false},
        {"com1", false},       {"LPT9.log", false},   {"conin$", false},
    };
    for (const auto& [name, plain] : cases) {
        EXPECT_EQ(IsPlainFileName(name), plain) << name;
        // The same rules after conversion: ASCII names widen byte for byte.
        if (std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            EXPECT_EQ(IsPlainFileName(std::wstring(name.begin(), name.end())), plain) << name;
    }
    // What conversion makes of bytes that passed as ANSI: an unconvertible lead byte at the end
    // becomes "?"; other scripts are plain, a device name only in ASCII.
    const std::vector<std::pair<std::wstring, bool>> wide = {
        {L"a?", false},      {L"a\uFF1F", true},  {L"\u4E2D\u6587.txt", true}, {L"\u4E2Dcon.txt", true},
        {L"con\u4E2D.txt", true}, {L"CON.\u4E2D", false}, {L"a\u3000", true},
    };
    for (const auto& [name, plain] : wide) EXPECT_EQ(IsPlainFileName(name), plain) << WideToUtf8(name);
}

TEST(UpdaterArguments, SplitsWhatTheShellHandsOver) {
    struct Case {
        std::wstring program;  // the shell's program file; the arguments come from the shell's own rule
        std::wstring folder;
    };
    for (const auto& c : std::vector<Case>{{L"D:\\Games\\Shell\\client.exe", L"D:\\Games\\Shell\\"},
                                           {L"E:\\client.exe", L"E:\\"},
                                           {L"C:\\游戏 目录\\xcyh2.EXE", L"C:\\游戏 目录\\"}}) {
        auto target = SplitUpdaterArguments(UpdaterArguments(c.program));
        ASSERT_TRUE(target);
        EXPECT_EQ(target->folder, c.folder);
        EXPECT_EQ(target->folder + c.program.substr(c.folder.size()), c.program);
    }
    EXPECT_EQ(SplitUpdaterArguments(L" D:\\g\\|D:\\g\\c.exe ")->folder, L"D:\\g\\");
    EXPECT_EQ(SplitUpdaterArguments(L"D:\\g")->program, L"");
    for (std::wstring_view nothing : {L"", L"  ", L"|D:\\g\\c.exe"}) EXPECT_FALSE(SplitUpdaterArguments(nothing));
}

// Servers are told apart by host and port as WinINet connects to them, whatever the path, the
// case or the user name.
TEST(UpdaterServers, AnAddressNamesTheServerItConnectsTo) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"http://Files.Example.COM/d/a.exe", "files.example.com:80"},
        {"https://h/a.exe", "h:443"},
        {"http://h:8080/a.exe", "h:8080"},
        {"http://user:pw@h:81/a.exe", "h:81"},
        {"HTTP://h?x=1", "h:80"},
        {"http://h:/a", "h:80"},
        {"http://[::1]/a", "[::1]:80"},
        {"http://[::1]:81/a", "[::1]:81"},
        {"http:///a.exe", ""},
        {"ftp://h/a.exe", ""},
        {"a.exe", ""},
    };
    for (const auto& [url, server] : cases) EXPECT_EQ(ServerOf(url), server) << url;
}

// Given up on after its tries in a row went unanswered, across lines; back once it answers.
TEST(UpdaterServers, AServerIsGivenUpOnAfterItsTriesInARowAndTakenBackOnceItAnswers) {
    ReachBudget budget(4);
    struct Step {
        const char* server;
        bool reached;
        bool aGivenUp, bGivenUp;  // after the step
    };
    const std::vector<Step> steps = {
        {"a:80", false, false, false}, {"a:80", false, false, false}, {"b:80", false, false, false},
        {"a:80", false, false, false}, {"b:80", true, false, false},  {"a:80", false, true, false},
        {"a:80", false, true, false},  {"a:80", true, false, false},  {"a:80", false, false, false},
        {"", false, false, false},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        if (step.reached)
            budget.Reached(step.server);
        else
            budget.NotReached(step.server);
        EXPECT_EQ(budget.GivenUp("a:80"), step.aGivenUp) << "step " << i;
        EXPECT_EQ(budget.GivenUp("b:80"), step.bGivenUp) << "step " << i;
        EXPECT_FALSE(budget.GivenUp("")) << "step " << i;
    }
}

}  // namespace
}  // namespace xcyh2

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "update/UpdateManifest.h"

namespace xcyh2 {
namespace {

// Feeds the manifest in pieces of the given size, as the update check reads its file.
std::optional<std::string> ReadInPieces(std::string_view manifest, std::size_t piece) {
    ManifestVersionReader reader;
    for (std::size_t at = 0; at < manifest.size(); at += piece) {
        if (reader.Feed(manifest.substr(at, piece))) return reader.Version();
    }
    reader.Finish();
    return reader.Version();
}

struct VersionCase {
    const char* name;
    std::string manifest;
    std::optional<std::string> version;
};

TEST(ManifestVersion, ReadsTheValueFromTheNinthCharacterOfTheFirstVersionLine) {
    const std::vector<VersionCase> cases = {
        {"plain", "version=1.1.0\r\nfile|http://h/a.exe\r\n", "1.1.0"},
        {"key in capitals", "VERSION=1.1.0\r\n", "1.1.0"},
        {"any separator", "Version:1.0.9\r\n", "1.0.9"},
        {"spaces around the separator", "version = 1.1.0\r\n", "= 1.1.0"},
        {"only spaces are trimmed", "version=  \t1.1.0 \t \r\n", "\t1.1.0 \t"},
        {"eight characters or fewer", "version=\r\n", ""},
        {"the bare key", "version\r\n", ""},
        {"the key anywhere in the line", "a|http://h/version/b.exe\r\nversion=1.1.0\r\n", "/h/version/b.exe"},
        {"only the first version line counts", "version=1.0.9\r\nversion=1.1.0\r\n", "1.0.9"},
        {"after other lines", "notes\r\nfile|http://h/a.exe\r\nversion=1.1.0", "1.1.0"},
        {"CR alone ends a line", "notes\rversion=1.1.0\rfile|x", "1.1.0"},
        {"the LF of CR LF is not the next line's first character", "notes\r\nversion=1.1.0", "1.1.0"},
        {"a lone LF is part of the line", "version=1.1.0\nfile|http://h/a.exe\n", "1.1.0\nfile|http://h/a.exe\n"},
        {"LF only, nothing after the version", "version=1.1.0", "1.1.0"},
        {"no version line", "file|http://h/a.exe\r\nnotes\r\n", std::nullopt},
        {"a key split by a line end", "vers\r\nion=1.1.0\r\n", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadManifestVersion(c.manifest), c.version) << c.name;
        // Any split into pieces reads the same, including a CR and its LF in different pieces.
        for (std::size_t piece = 1; piece <= 4; ++piece) {
            EXPECT_EQ(ReadInPieces(c.manifest, piece), c.version) << c.name << ", pieces of " << piece;
        }
    }
}

TEST(ManifestVersion, CountsAndSearchesCharactersOfTheDoubleByteCodePage) {
    // "版本" is two characters (four bytes): eight characters end after "123456".
    EXPECT_EQ(ReadManifestVersion("\xB0\xE6\xB1\xBE" "1234561.1.0 version\r\n"), "1.1.0 version");
    // Chinese lines around the version line are skipped like any other.
    EXPECT_EQ(ReadManifestVersion("\xB8\xFC\xD0\xC2\xCB\xB5\xC3\xF7\r\nversion=1.1.0\r\n"
                                  "\xCE\xC4\xBC\xFE|http://h/a.exe\r\n"),
              "1.1.0");
    // A trail byte that looks like "v" or "V" does not start the key: "丶ersion" is not "version".
    EXPECT_EQ(ReadManifestVersion("\x81v" "ersion=1.0.9\r\nversion=1.1.0\r\n"), "1.1.0");
    EXPECT_EQ(ReadManifestVersion("\x81V" "ERSION=1.0.9\r\n"), std::nullopt);
    // A lead byte with no trail before the line end stands alone; the next line is read normally.
    EXPECT_EQ(ReadManifestVersion("notes\x81\r\nversion=1.1.0"), "1.1.0");
    EXPECT_EQ(ReadManifestVersion("version=1.1.0\x81"), "1.1.0\x81");
    // A lead byte followed by an ASCII letter that cannot be a trail byte leaves the letter alone.
    EXPECT_EQ(ReadManifestVersion("\x81\x7Fversion=1.1.0"), "n=1.1.0");
    // Without a double-byte code page every byte is one character.
    EXPECT_EQ(ReadManifestVersion("\x81v" "ersion=1.0.9\r\n", [](unsigned char) { return false; }), "=1.0.9");
}

TEST(ManifestVersion, HugeInputStaysBoundedAndNeverMatchesByAccident) {
    // 16 MB without a line end, read as the update check reads it.
    std::string piece(64 * 1024, 'x');
    ManifestVersionReader reader;
    for (int i = 0; i < 256; ++i) ASSERT_FALSE(reader.Feed(piece));
    reader.Finish();
    EXPECT_EQ(reader.Version(), std::nullopt);

    // A version line with a huge value keeps only part of it, and never equals a version.
    std::string longValue = ReadManifestVersion("version=" + std::string(2'000'000, 'a')).value();
    EXPECT_LE(longValue.size(), ManifestVersionReader::kMaxValueBytes);
    std::string hidden = ReadManifestVersion("version=1.1.0" + std::string(5000, ' ') + "x\r\n").value();
    EXPECT_NE(hidden, "1.1.0");
    // Spaces past the kept part are still trailing spaces.
    EXPECT_EQ(ReadManifestVersion("version=1.1.0" + std::string(100'000, ' ') + "\r\n"), "1.1.0");
}

// The version compared with the manifest is the one the build sets in project(... VERSION ...).
TEST(ManifestVersion, LocalVersionIsTheProjectVersion) { EXPECT_EQ(LocalVersionString(), XCYH2_PROJECT_VERSION); }

TEST(UpdaterArguments, FolderBarProgramFile) {
    EXPECT_EQ(UpdaterArguments(L"D:\\Games\\Shell\\client.exe"), L"D:\\Games\\Shell|D:\\Games\\Shell\\client.exe");
    // A drive root keeps its backslash in both fields.
    EXPECT_EQ(UpdaterArguments(L"E:\\client.exe"), L"E:\\|E:\\\\client.exe");
    // The file name loses only its last extension, which is written ".exe".
    EXPECT_EQ(UpdaterArguments(L"C:\\\x661F\x69CE\\my.client.EXE"), L"C:\\\x661F\x69CE|C:\\\x661F\x69CE\\my.client.exe");
    EXPECT_EQ(UpdaterArguments(L"\\\\server\\share\\client.exe"), L"\\\\server\\share|\\\\server\\share\\client.exe");
}

}  // namespace
}  // namespace xcyh2

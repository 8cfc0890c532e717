#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/PublicData.h"
#include "base/ResourceBytes.h"
#include "support/WinTest.h"

namespace xcyh2 {
namespace {

TEST(GetTempDir, EndsInExactlyOneBackslash) {
    std::wstring dir = GetTempDir();
    ASSERT_GE(dir.size(), 2u);
    EXPECT_EQ(dir.back(), L'\\');
    EXPECT_NE(dir[dir.size() - 2], L'\\');
    EXPECT_EQ(dir.find(L'\0'), std::wstring::npos);
    DWORD attributes = ::GetFileAttributesW(dir.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(SaveResToFile, ReplacesALongerFileWithExactlyTheResourceBytes) {
    std::string_view resource = ResourceBytes(900, L"PNG");
    ASSERT_NE(resource.data(), nullptr);
    std::wstring path = GetTempDir() + L"xcyh2-test-save.png";
    ASSERT_TRUE(test::WriteWholeFile(path, std::string(resource.size() * 3, 'x')));

    EXPECT_TRUE(SaveResToFile(900, L"PNG", path));
    EXPECT_EQ(test::ReadWholeFile(path), std::string(resource));
    // Nothing half-written is left beside it.
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((path + L".*.part").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE) ::FindClose(find);
    ::DeleteFileW(path.c_str());
}

TEST(SaveResToFile, CreatesAMissingFile) {
    std::wstring path = GetTempDir() + L"xcyh2-test-new.bin";
    ::DeleteFileW(path.c_str());
    EXPECT_TRUE(SaveResToFile(901, L"PNG", path));
    EXPECT_EQ(test::ReadWholeFile(path), "this is not a picture");
    ::DeleteFileW(path.c_str());
}

TEST(SaveResToFile, AMissingResourceLeavesTheOldFileAlone) {
    std::wstring path = GetTempDir() + L"xcyh2-test-keep.bin";
    ASSERT_TRUE(test::WriteWholeFile(path, "old contents"));
    EXPECT_FALSE(SaveResToFile(12345, L"PNG", path));
    EXPECT_EQ(test::ReadWholeFile(path), "old contents");
    ::DeleteFileW(path.c_str());
}

TEST(SaveResToFile, AFileHeldOpenWithoutSharingIsReportedAndKept) {
    std::wstring path = GetTempDir() + L"xcyh2-test-locked.bin";
    ASSERT_TRUE(test::WriteWholeFile(path, "running program"));
    HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SaveResToFile(900, L"PNG", path));
    ::CloseHandle(held);
    EXPECT_EQ(test::ReadWholeFile(path), "running program");
    ::DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace xcyh2

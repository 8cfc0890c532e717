#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "mainwindow/CacheMain.h"

namespace xcyh2::mainwindow {
namespace {

constexpr DWORD kNormal = NORMAL_CACHE_ENTRY;
constexpr DWORD kCookie = COOKIE_CACHE_ENTRY;       // 0x100000
constexpr DWORD kHistory = URLHISTORY_CACHE_ENTRY;  // 0x200000

struct FakeEntry {
    std::string url;
    DWORD type = kNormal;
    DWORD recordBytes = 0;      // what the record needs; 0: the header and the address
    bool deleteFails = false;
    DWORD nextError = 0;        // the query reaching this entry fails with this error instead
};

struct FakeGroup {
    GROUPID id;
    bool deleteFails = false;
};

// The URL cache service as Windows documents it: error 2 for no (more) groups, 259 for no
// (more) entries, 122 with the needed size for a record that does not fit, the enumeration
// staying on that entry.
class FakeUrlCache : public IUrlCacheService {
public:
    bool groupsPresent = true;
    DWORD groupSearchError = 0;  // FindFirstUrlCacheGroup fails with this error (0: it does not)
    std::vector<FakeGroup> groups;
    std::vector<FakeEntry> entries;

    std::vector<GROUPID> deletedGroups;       // delete calls, failed ones included
    std::vector<std::string> deletedEntries;  // delete calls, failed ones included
    std::set<HANDLE> open;
    int closedUnknown = 0;  // closes of handles that were not open

    bool HasGroups() override { return groupsPresent; }

    HANDLE FindFirstUrlCacheGroup(DWORD dwFlags, DWORD dwFilter, GROUPID& groupId) override {
        EXPECT_EQ(dwFlags, 0u);
        EXPECT_EQ(dwFilter, 0u);
        if (groupSearchError) return Fail<HANDLE>(groupSearchError);
        if (groups.empty()) return Fail<HANDLE>(ERROR_FILE_NOT_FOUND);
        groupId = groups[0].id;
        return Open(1);
    }
    bool FindNextUrlCacheGroup(HANDLE hFind, GROUPID& groupId) override {
        std::size_t& next = position_.at(hFind);
        if (next >= groups.size()) return Fail<bool>(ERROR_FILE_NOT_FOUND);
        groupId = groups[next++].id;
        return Succeed();
    }
    bool DeleteUrlCacheGroup(GROUPID groupId, DWORD dwFlags) override {
        EXPECT_EQ(dwFlags, static_cast<DWORD>(CACHEGROUP_FLAG_FLUSHURL_ONDELETE));
        deletedGroups.push_back(groupId);
        auto it = std::find_if(groups.begin(), groups.end(), [&](const FakeGroup& g) { return g.id == groupId; });
        if (it == groups.end() || it->deleteFails) return Fail<bool>(ERROR_ACCESS_DENIED);
        return Succeed();
    }
    HANDLE FindFirstUrlCacheEntryA(const char* pattern, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD& size) override {
        EXPECT_STREQ(pattern, "*.*");
        if (entries.empty()) return Fail<HANDLE>(ERROR_NO_MORE_ITEMS);
        if (!Fill(entries[0], entry, size)) return nullptr;
        return Open(1);
    }
    bool FindNextUrlCacheEntryA(HANDLE hFind, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD& size) override {
        std::size_t& next = position_.at(hFind);
        if (next >= entries.size()) return Fail<bool>(ERROR_NO_MORE_ITEMS);
        if (entries[next].nextError) return Fail<bool>(entries[next].nextError);
        if (!Fill(entries[next], entry, size)) return false;
        ++next;
        return Succeed();
    }
    bool DeleteUrlCacheEntryA(const char* url) override {
        deletedEntries.push_back(url);
        auto it = std::find_if(entries.begin(), entries.end(), [&](const FakeEntry& e) { return e.url == url; });
        if (it == entries.end() || it->deleteFails) return Fail<bool>(ERROR_ACCESS_DENIED);
        return Succeed();
    }
    bool FindCloseUrlCache(HANDLE hFind) override {
        if (!open.erase(hFind)) ++closedUnknown;
        return Succeed();
    }
    DWORD LastError() override { return lastError_; }

private:
    template <typename T>
    T Fail(DWORD error) {
        lastError_ = error;
        return T{};
    }
    bool Succeed() {
        lastError_ = ERROR_SUCCESS;
        return true;
    }
    HANDLE Open(std::size_t next) {
        HANDLE h = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x1000 + ++handles_));
        open.insert(h);
        position_[h] = next;
        Succeed();
        return h;
    }
    // The record: the header, then the address. False (error 122, needed size) if it does not fit.
    bool Fill(const FakeEntry& e, INTERNET_CACHE_ENTRY_INFOA* info, DWORD& size) {
        const DWORD natural = static_cast<DWORD>(sizeof(*info) + e.url.size() + 1);
        const DWORD needed = std::max(natural, e.recordBytes);
        if (size < needed) {
            size = needed;
            return Fail<bool>(ERROR_INSUFFICIENT_BUFFER);
        }
        EXPECT_EQ(info->dwStructSize, sizeof(*info));
        auto* text = reinterpret_cast<char*>(info + 1);
        std::memset(info, 0, needed);
        std::memcpy(text, e.url.c_str(), e.url.size() + 1);
        info->dwStructSize = sizeof(*info);
        info->lpszSourceUrlName = text;
        info->CacheEntryType = e.type;
        size = needed;
        return true;
    }

    DWORD lastError_ = 0;
    int handles_ = 0;
    std::map<HANDLE, std::size_t> position_;
};

using Urls = std::vector<std::string>;
using Groups = std::vector<GROUPID>;

// A cache with every kind of entry: the oversized one and the one that cannot be deleted are
// in the middle, so the cleaning must go on past them.
std::vector<FakeEntry> MixedEntries() {
    return {
        {"http://a/page.html"},
        {"Cookie:player@a/", kCookie | kNormal},
        {"Visited: player@http://a/", kHistory},
        {"http://a/" + std::string(3000, 'x'), kNormal},  // record over 2048 bytes
        {"http://a/locked.swf", kNormal, 0, true},
        {"http://a/last.js"},
    };
}

TEST(ClearUrlCache, PhasesAgainstTheServiceAsWindowsDocumentsIt) {
    const Urls mixedDeleted = {"http://a/page.html", "http://a/" + std::string(3000, 'x'), "http://a/locked.swf",
                               "http://a/last.js"};
    struct Case {
        const char* what;
        bool groupsPresent;
        std::vector<FakeGroup> groups;
        DWORD groupSearchError;
        std::vector<FakeEntry> entries;
        std::uint32_t keep;
        Groups deletedGroups;
        Urls deletedEntries;
    };
    const Case cases[] = {
        {"groups, then every entry but cookies and history", true, {{7}, {9}}, 0, MixedEntries(),
         kKeepCookiesAndHistory, {7, 9}, mixedDeleted},
        {"no groups (error 2)", true, {}, 0, MixedEntries(), kKeepCookiesAndHistory, {}, mixedDeleted},
        {"a platform without groups", false, {{7}}, 0, MixedEntries(), kKeepCookiesAndHistory, {}, mixedDeleted},
        {"keep mask 0 deletes cookies and history too", true, {}, 0,
         {{"Cookie:p@a/", kCookie}, {"Visited: p@http://a/", kHistory}}, 0, {}, {"Cookie:p@a/", "Visited: p@http://a/"}},
        {"a group that cannot be deleted ends the cleaning", true, {{7, true}, {9}}, 0, MixedEntries(),
         kKeepCookiesAndHistory, {7}, {}},
        {"the group search failing otherwise ends it", true, {}, ERROR_ACCESS_DENIED, MixedEntries(),
         kKeepCookiesAndHistory, {}, {}},
        {"empty cache", true, {}, 0, {}, kKeepCookiesAndHistory, {}, {}},
        {"an oversized first entry", true, {}, 0, {{"http://b/1", kNormal, 5000}, {"http://b/2"}},
         kKeepCookiesAndHistory, {}, {"http://b/1", "http://b/2"}},
        {"another error in the middle ends the entries", true, {}, 0,
         {{"http://c/1"}, {"http://c/2", kNormal, 0, false, ERROR_INTERNET_INTERNAL_ERROR}, {"http://c/3"}},
         kKeepCookiesAndHistory, {}, {"http://c/1"}},
        {"an entry asking for an absurd size ends the entries", true, {}, 0,
         {{"http://d/1"}, {"http://d/2", kNormal, 64u << 20}, {"http://d/3"}}, kKeepCookiesAndHistory, {},
         {"http://d/1"}},
    };
    for (const Case& c : cases) {
        FakeUrlCache cache;
        cache.groupsPresent = c.groupsPresent;
        cache.groups = c.groups;
        cache.groupSearchError = c.groupSearchError;
        cache.entries = c.entries;
        ClearUrlCache(cache, "*.*", c.keep);
        EXPECT_EQ(cache.deletedGroups, c.deletedGroups) << c.what;
        EXPECT_EQ(cache.deletedEntries, c.deletedEntries) << c.what;
        EXPECT_TRUE(cache.open.empty()) << c.what << ": every enumeration handle is closed";
        EXPECT_EQ(cache.closedUnknown, 0) << c.what;
    }
}

// The system's own cache: a page the browser stored is gone after the cleaning.
TEST(ClearUrlCache, EmptiesThisSystemsCache) {
    const char* url = "http://127.0.0.1:47299/xcyh2-cache-test/page.html";
    char file[MAX_PATH] = {};
    ASSERT_TRUE(::CreateUrlCacheEntryA(url, 0, "html", file, 0)) << ::GetLastError();
    {
        HANDLE h = ::CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(h, "<html></html>", 13, &written, nullptr);
        ::CloseHandle(h);
    }
    FILETIME never{};
    ASSERT_TRUE(::CommitUrlCacheEntryA(url, file, never, never, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr))
        << ::GetLastError();
    auto stored = [url] {
        DWORD size = 0;
        ::GetUrlCacheEntryInfoA(url, nullptr, &size);
        return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    };
    ASSERT_TRUE(stored());
    ClearUrlCache("*.*", kKeepCookiesAndHistory);
    EXPECT_FALSE(stored());
}

}  // namespace
}  // namespace xcyh2::mainwindow

#include "mainwindow/CacheMain.h"

#include <string_view>
#include <vector>

#include "base/SystemLibraries.h"

namespace xcyh2::mainwindow {

namespace {

#if defined(__i386__)
static_assert(sizeof(INTERNET_CACHE_ENTRY_INFOA) == 80, "the entry record's header is 80 bytes");
#endif

constexpr DWORD kEntryBufferBytes = 2048;
// An entry asking for more than this is not a real one: the cleaning ends there.
constexpr DWORD kLargestEntryBytes = 1024 * 1024;

// The buffer one entry record at a time is read into. It starts at 2048 bytes and grows only
// when an entry needs more, so one long address does not end the cleaning.
class EntryBuffer {
public:
    EntryBuffer() { Resize(kEntryBufferBytes); }

    INTERNET_CACHE_ENTRY_INFOA* info() { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(words_.data()); }
    DWORD size() const { return static_cast<DWORD>(words_.size() * sizeof(words_[0])); }

    // After error 122: room for `needed` bytes, or false when that is no growth or too much.
    bool Grow(DWORD needed) {
        if (needed <= size() || needed > kLargestEntryBytes) return false;
        Resize(needed);
        return true;
    }

private:
    void Resize(DWORD bytes) {
        words_.assign((bytes + sizeof(words_[0]) - 1) / sizeof(words_[0]), 0);
        info()->dwStructSize = sizeof(INTERNET_CACHE_ENTRY_INFOA);
    }

    std::vector<std::uint64_t> words_;  // 8-byte aligned for the record
};

// Closes an enumeration handle of the service when the phase ends, however it ends.
class FindCloser {
public:
    FindCloser(IUrlCacheService& cache, HANDLE find) : cache_(cache), find_(find) {}
    ~FindCloser() { cache_.FindCloseUrlCache(find_); }
    FindCloser(const FindCloser&) = delete;
    FindCloser& operator=(const FindCloser&) = delete;

private:
    IUrlCacheService& cache_;
    HANDLE find_;
};

// One entry query: query(size) runs it; on error 122 the buffer grows to what the service
// asked for and the query runs again on the same entry.
template <typename Query>
bool QueryEntry(IUrlCacheService& cache, EntryBuffer& buffer, Query query) {
    for (;;) {
        DWORD size = buffer.size();
        if (query(size)) return true;
        if (cache.LastError() != ERROR_INSUFFICIENT_BUFFER || !buffer.Grow(size)) return false;
    }
}

// Every cache group, with its entries. False when the whole cleaning ends here.
bool DeleteGroups(IUrlCacheService& cache) {
    if (!cache.HasGroups()) return true;
    GROUPID group = 0;
    HANDLE find = cache.FindFirstUrlCacheGroup(0, CACHEGROUP_SEARCH_ALL, group);
    // Error 2 is "no groups"; any other error ends the cleaning. No handle and no error at all
    // is a service without groups (Wine's group calls are such stubs): the entries still go.
    if (!find) return cache.LastError() == ERROR_FILE_NOT_FOUND || cache.LastError() == ERROR_SUCCESS;
    FindCloser closer(cache, find);
    for (;;) {
        if (!cache.DeleteUrlCacheGroup(group, CACHEGROUP_FLAG_FLUSHURL_ONDELETE)) return false;
        // Error 2 is the end of the groups; with any other, the same group would come again.
        if (!cache.FindNextUrlCacheGroup(find, group)) return cache.LastError() == ERROR_FILE_NOT_FOUND;
    }
}

// Every entry matching the pattern whose type has no bit of the keep mask.
void DeleteEntries(IUrlCacheService& cache, const std::string& pattern, std::uint32_t keepMask) {
    EntryBuffer buffer;
    HANDLE find = nullptr;
    // No handle: an empty cache (error 259) or a failing service; either way nothing to do.
    if (!QueryEntry(cache, buffer, [&](DWORD& size) {
            find = cache.FindFirstUrlCacheEntryA(pattern.c_str(), buffer.info(), size);
            return find != nullptr;
        })) {
        return;
    }
    FindCloser closer(cache, find);
    do {
        const INTERNET_CACHE_ENTRY_INFOA* entry = buffer.info();
        // A failed delete is skipped: the entry stays, the others still go.
        if ((entry->CacheEntryType & keepMask) == 0 && entry->lpszSourceUrlName) {
            cache.DeleteUrlCacheEntryA(entry->lpszSourceUrlName);
        }
        // Error 259 is the end of the entries; any other error ends the cleaning as well.
    } while (QueryEntry(cache, buffer,
                        [&](DWORD& size) { return cache.FindNextUrlCacheEntryA(find, buffer.info(), size); }));
}

}  // namespace

bool SystemUrlCache::HasGroups() {
    sys::WinInet& wininet = sys::wininet();
    return wininet.FindFirstUrlCacheGroup.get() && wininet.FindNextUrlCacheGroup.get() &&
           wininet.DeleteUrlCacheGroup.get();
}

HANDLE SystemUrlCache::FindFirstUrlCacheGroup(DWORD dwFlags, DWORD dwFilter, GROUPID& groupId) {
    ::SetLastError(ERROR_SUCCESS);  // a call that fails without a word leaves no stale error behind
    HANDLE find =
        sys::wininet().FindFirstUrlCacheGroup.call_or(nullptr, dwFlags, dwFilter, nullptr, 0, &groupId, nullptr);
    lastError_ = ::GetLastError();
    return find;
}

bool SystemUrlCache::FindNextUrlCacheGroup(HANDLE hFind, GROUPID& groupId) {
    const bool ok = sys::wininet().FindNextUrlCacheGroup.call_or(FALSE, hFind, &groupId, nullptr) != FALSE;
    lastError_ = ::GetLastError();
    return ok;
}

bool SystemUrlCache::DeleteUrlCacheGroup(GROUPID groupId, DWORD dwFlags) {
    const bool ok = sys::wininet().DeleteUrlCacheGroup.call_or(FALSE, groupId, dwFlags, nullptr) != FALSE;
    lastError_ = ::GetLastError();
    return ok;
}

HANDLE SystemUrlCache::FindFirstUrlCacheEntryA(const char* pattern, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD& size) {
    // "*.*" is every entry; the service's own word for that is no pattern ("cookie:" and
    // "visited:" are the only others it documents), and a service that keeps to that finds
    // nothing for "*.*".
    if (pattern && std::string_view(pattern) == "*.*") pattern = nullptr;
    HANDLE find = sys::wininet().FindFirstUrlCacheEntryA.call_or(nullptr, pattern, entry, &size);
    lastError_ = ::GetLastError();
    return find;
}

bool SystemUrlCache::FindNextUrlCacheEntryA(HANDLE hFind, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD& size) {
    const bool ok = sys::wininet().FindNextUrlCacheEntryA.call_or(FALSE, hFind, entry, &size) != FALSE;
    lastError_ = ::GetLastError();
    return ok;
}

bool SystemUrlCache::DeleteUrlCacheEntryA(const char* url) {
    const bool ok = sys::wininet().DeleteUrlCacheEntryA.call_or(FALSE, url) != FALSE;
    lastError_ = ::GetLastError();
    return ok;
}

bool SystemUrlCache::FindCloseUrlCache(HANDLE hFind) {
    const bool ok = sys::wininet().FindCloseUrlCache.call_or(FALSE, hFind) != FALSE;
    lastError_ = ::GetLastError();
    return ok;
}

void ClearUrlCache(IUrlCacheService& cache, const std::string& strPattern, std::uint32_t lngKeepMask) {
    try {
        if (DeleteGroups(cache)) DeleteEntries(cache, strPattern, lngKeepMask);
    } catch (...) {
        // Runs inside a menu command: nothing may escape, and nothing is reported.
    }
}

void ClearUrlCache(const std::string& strPattern, std::uint32_t lngKeepMask) {
    SystemUrlCache cache;
    ClearUrlCache(cache, strPattern, lngKeepMask);
}

}  // namespace xcyh2::mainwindow

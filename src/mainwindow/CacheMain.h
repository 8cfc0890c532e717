// Emptying the system web cache that the browser controls use, through the platform's URL cache
// service only: first every cache group goes (with its entries), then every entry whose type
// has no bit in common with the keep mask. No file is deleted directly, nothing is reported:
// a failing step ends the cleaning or is skipped, and the caller tells the player it is done.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <string>

namespace xcyh2::mainwindow {

// Entry types the cache command keeps: cookies (COOKIE_CACHE_ENTRY) and history
// (URLHISTORY_CACHE_ENTRY).
inline constexpr std::uint32_t kKeepCookiesAndHistory = 0x300000;

// The URL cache service as the cleaner uses it: its seven calls, each leaving the platform's
// last error behind as LastError. Tests put a double of the service in its place.
class IUrlCacheService {
public:
    virtual ~IUrlCacheService() = default;

    // False on a platform whose service has no cache groups.
    virtual bool HasGroups() = 0;
    virtual HANDLE FindFirstUrlCacheGroup(DWORD dwFlags, DWORD dwFilter, GROUPID& groupId) = 0;
    virtual bool FindNextUrlCacheGroup(HANDLE hFind, GROUPID& groupId) = 0;
    virtual bool DeleteUrlCacheGroup(GROUPID groupId, DWORD dwFlags) = 0;
    // size: in, the buffer's size; out, on error 122 (ERROR_INSUFFICIENT_BUFFER), the size the
    // entry needs. The enumeration then stays on that entry.
    virtual HANDLE FindFirstUrlCacheEntryA(const char* pattern, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD& size) = 0;
    virtual bool FindNextUrlCacheEntryA(HANDLE hFind, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD& size) = 0;
    virtual bool DeleteUrlCacheEntryA(const char* url) = 0;
    virtual bool FindCloseUrlCache(HANDLE hFind) = 0;
    // The platform's last error as the latest call left it.
    virtual DWORD LastError() = 0;
};

// The system's service (WinINet, loaded on first use; the group calls may be missing).
class SystemUrlCache final : public IUrlCacheService {
public:
    bool HasGroups() override;
    HANDLE FindFirstUrlCacheGroup(DWORD dwFlags, DWORD dwFilter, GROUPID& groupId) override;
    bool FindNextUrlCacheGroup(HANDLE hFind, GROUPID& groupId) override;
    bool DeleteUrlCacheGroup(GROUPID groupId, DWORD dwFlags) override;
    HANDLE FindFirstUrlCacheEntryA(const char* pattern, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD& size) override;
    bool FindNextUrlCacheEntryA(HANDLE hFind, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD& size) override;
    bool DeleteUrlCacheEntryA(const char* url) override;
    bool FindCloseUrlCache(HANDLE hFind) override;
    DWORD LastError() override { return lastError_; }

private:
    DWORD lastError_ = 0;
};

// Cleans the system's cache. strPattern selects the entries ("*.*" for all of them);
// lngKeepMask the entry type bits to keep.
void ClearUrlCache(const std::string& strPattern, std::uint32_t lngKeepMask);
// The same through the given service.
void ClearUrlCache(IUrlCacheService& cache, const std::string& strPattern, std::uint32_t lngKeepMask);

}  // namespace xcyh2::mainwindow

// The system DLLs the shell loads on first use (see LazyLibrary.h), with the entry points it
// calls in each. Nothing here is linked: a call goes through these tables or not at all.
#pragma once

#include <windows.h>
#include <bcrypt.h>
#include <commctrl.h>
#include <oleacc.h>
#include <oleauto.h>
#include <shellapi.h>
#include <wininet.h>
#include <winver.h>

#include <string>

#include "base/LazyLibrary.h"

namespace xcyh2::sys {

template <typename Fn>
using Proc = LazyProc<Fn>;

struct WinInet {
    LazyLibrary dll{L"wininet.dll"};
    Proc<decltype(&::InternetGetConnectedState)> InternetGetConnectedState{dll, "InternetGetConnectedState"};
    Proc<decltype(&::InternetOpenA)> InternetOpenA{dll, "InternetOpenA"};
    Proc<decltype(&::InternetOpenW)> InternetOpenW{dll, "InternetOpenW"};
    Proc<decltype(&::InternetOpenUrlW)> InternetOpenUrlW{dll, "InternetOpenUrlW"};
    Proc<decltype(&::InternetCrackUrlA)> InternetCrackUrlA{dll, "InternetCrackUrlA"};
    Proc<decltype(&::InternetConnectA)> InternetConnectA{dll, "InternetConnectA"};
    Proc<decltype(&::HttpOpenRequestA)> HttpOpenRequestA{dll, "HttpOpenRequestA"};
    Proc<decltype(&::HttpSendRequestA)> HttpSendRequestA{dll, "HttpSendRequestA"};
    Proc<decltype(&::InternetSetOptionA)> InternetSetOptionA{dll, "InternetSetOptionA"};
    Proc<decltype(&::InternetSetOptionW)> InternetSetOptionW{dll, "InternetSetOptionW"};
    Proc<decltype(&::InternetQueryOptionW)> InternetQueryOptionW{dll, "InternetQueryOptionW"};
    Proc<decltype(&::HttpQueryInfoA)> HttpQueryInfoA{dll, "HttpQueryInfoA"};
    Proc<decltype(&::HttpQueryInfoW)> HttpQueryInfoW{dll, "HttpQueryInfoW"};
    Proc<decltype(&::InternetQueryDataAvailable)> InternetQueryDataAvailable{dll, "InternetQueryDataAvailable"};
    Proc<decltype(&::InternetReadFile)> InternetReadFile{dll, "InternetReadFile"};
    Proc<decltype(&::InternetCloseHandle)> InternetCloseHandle{dll, "InternetCloseHandle"};
    Proc<decltype(&::InternetSetStatusCallbackA)> InternetSetStatusCallbackA{dll, "InternetSetStatusCallbackA"};
    // The URL cache, as the cache cleaner uses it. The group calls are missing on some systems.
    using FindFirstGroupFn = HANDLE(WINAPI*)(DWORD, DWORD, LPVOID, DWORD, GROUPID*, LPVOID);
    using FindNextGroupFn = BOOL(WINAPI*)(HANDLE, GROUPID*, LPVOID);
    using DeleteGroupFn = BOOL(WINAPI*)(GROUPID, DWORD, LPVOID);
    Proc<FindFirstGroupFn> FindFirstUrlCacheGroup{dll, "FindFirstUrlCacheGroup"};
    Proc<FindNextGroupFn> FindNextUrlCacheGroup{dll, "FindNextUrlCacheGroup"};
    Proc<DeleteGroupFn> DeleteUrlCacheGroup{dll, "DeleteUrlCacheGroup"};
    Proc<decltype(&::FindFirstUrlCacheEntryA)> FindFirstUrlCacheEntryA{dll, "FindFirstUrlCacheEntryA"};
    Proc<decltype(&::FindNextUrlCacheEntryA)> FindNextUrlCacheEntryA{dll, "FindNextUrlCacheEntryA"};
    Proc<decltype(&::DeleteUrlCacheEntryA)> DeleteUrlCacheEntryA{dll, "DeleteUrlCacheEntryA"};
    Proc<decltype(&::FindCloseUrlCache)> FindCloseUrlCache{dll, "FindCloseUrlCache"};
};

struct Shell32 {
    LazyLibrary dll{L"shell32.dll"};
    Proc<decltype(&::ShellExecuteW)> ShellExecuteW{dll, "ShellExecuteW"};
    Proc<decltype(&::Shell_NotifyIconA)> Shell_NotifyIconA{dll, "Shell_NotifyIconA"};
};

struct ComCtl32 {
    LazyLibrary dll{L"comctl32.dll"};
    Proc<decltype(&::InitCommonControlsEx)> InitCommonControlsEx{dll, "InitCommonControlsEx"};
    Proc<decltype(&::_TrackMouseEvent)> TrackMouseEvent{dll, "_TrackMouseEvent"};
};

struct OleAut32 {
    LazyLibrary dll{L"oleaut32.dll"};
    Proc<decltype(&::SysAllocStringLen)> SysAllocStringLen{dll, "SysAllocStringLen"};
    Proc<decltype(&::SysStringLen)> SysStringLen{dll, "SysStringLen"};
    Proc<decltype(&::SysFreeString)> SysFreeString{dll, "SysFreeString"};
    Proc<decltype(&::VariantInit)> VariantInit{dll, "VariantInit"};
    Proc<decltype(&::VariantClear)> VariantClear{dll, "VariantClear"};
};

struct OleAcc {
    LazyLibrary dll{L"oleacc.dll"};
    Proc<decltype(&::LresultFromObject)> LresultFromObject{dll, "LresultFromObject"};
};

struct BCrypt {
    LazyLibrary dll{L"bcrypt.dll"};
    Proc<decltype(&::BCryptOpenAlgorithmProvider)> BCryptOpenAlgorithmProvider{dll, "BCryptOpenAlgorithmProvider"};
    Proc<decltype(&::BCryptCloseAlgorithmProvider)> BCryptCloseAlgorithmProvider{dll, "BCryptCloseAlgorithmProvider"};
    Proc<decltype(&::BCryptCreateHash)> BCryptCreateHash{dll, "BCryptCreateHash"};
    Proc<decltype(&::BCryptHashData)> BCryptHashData{dll, "BCryptHashData"};
    Proc<decltype(&::BCryptFinishHash)> BCryptFinishHash{dll, "BCryptFinishHash"};
    Proc<decltype(&::BCryptDestroyHash)> BCryptDestroyHash{dll, "BCryptDestroyHash"};
    Proc<decltype(&::BCryptImportKeyPair)> BCryptImportKeyPair{dll, "BCryptImportKeyPair"};
    Proc<decltype(&::BCryptDestroyKey)> BCryptDestroyKey{dll, "BCryptDestroyKey"};
    Proc<decltype(&::BCryptVerifySignature)> BCryptVerifySignature{dll, "BCryptVerifySignature"};
};

struct Version {
    LazyLibrary dll{L"version.dll"};
    Proc<decltype(&::GetFileVersionInfoSizeW)> GetFileVersionInfoSizeW{dll, "GetFileVersionInfoSizeW"};
    Proc<decltype(&::GetFileVersionInfoW)> GetFileVersionInfoW{dll, "GetFileVersionInfoW"};
    Proc<decltype(&::VerQueryValueW)> VerQueryValueW{dll, "VerQueryValueW"};
};

struct User32Dpi {
    LazyLibrary dll{L"user32.dll"};
    // Windows 10's per-window scale calls; the headers declare them only for builds that need
    // that system, so their types are written out here as the headers give them.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using GetDpiForSystemFn = UINT(WINAPI*)();
    Proc<GetDpiForWindowFn> GetDpiForWindow{dll, "GetDpiForWindow"};
    Proc<GetDpiForSystemFn> GetDpiForSystem{dll, "GetDpiForSystem"};
};
// Each table is made on its first use, from any thread, and lives as long as the process.
WinInet& wininet();
Shell32& shell32();
ComCtl32& comctl32();
OleAut32& oleaut32();
OleAcc& oleacc();
BCrypt& bcrypt();
Version& version();
User32Dpi& user32Dpi();

// The shell's "open" of a file or an address; false when it could not be started.
bool ShellOpen(const std::wstring& file, const std::wstring& parameters = {});

// Shell_NotifyIconA through the table: the tray icon's default.
BOOL WINAPI ShellNotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData);

}  // namespace xcyh2::sys

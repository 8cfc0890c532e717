// A stand-in for a downloaded program in the end-to-end tests: started, it appends its command
// line (UTF-8, one line) to "started.txt" beside itself and ends. Given a number, it stays
// running that many milliseconds after leaving its mark, as a program that is still ending.
#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring marker(path, length);
    marker = marker.substr(0, marker.find_last_of(L'\\') + 1) + L"started.txt";
    std::wstring line = std::wstring(::GetCommandLineW()) + L"\n";
    char utf8[4096] = {};
    int size = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8, sizeof(utf8), nullptr,
                                     nullptr);
    HANDLE file = ::CreateFileW(marker.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    ::WriteFile(file, utf8, static_cast<DWORD>(size), &written, nullptr);
    ::CloseHandle(file);
    if (__argc >= 2) ::Sleep(static_cast<DWORD>(std::wcstoul(__wargv[1], nullptr, 10)));
    return 0;
}

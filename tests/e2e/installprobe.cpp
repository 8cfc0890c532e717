// A small helper for the installer's end-to-end test, run under Wine as the player:
//   installprobe folders          the local application data, desktop and Start-menu programs
//                                 folders of the current user, one a line
//   installprobe lnk FILE.lnk     the shortcut's target path
//   installprobe update NEW DEST  replaces DEST the way the updater does: a copy of NEW written
//                                 beside DEST, then moved over it
// Output is UTF-8; the exit code is 0 on success.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <string>

namespace {

void PrintLine(const std::wstring& text) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    std::printf("%s\n", bytes.c_str());
}

int Folders() {
    for (int csidl : {CSIDL_LOCAL_APPDATA, CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS}) {
        wchar_t path[MAX_PATH] = {};
        if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return 1;
        PrintLine(path);
    }
    return 0;
}

int ShortcutTarget(const wchar_t* file) {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int rc = 1;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            wchar_t target[MAX_PATH] = {};
            if (SUCCEEDED(persist->Load(file, STGM_READ)) &&
                SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) && target[0]) {
                PrintLine(target);
                rc = 0;
            }
            persist->Release();
        }
        link->Release();
    }
    ::CoUninitialize();
    return rc;
}

int Update(const wchar_t* source, const wchar_t* dest) {
    std::wstring beside = std::wstring(dest) + L".new";
    if (!::CopyFileW(source, beside.c_str(), FALSE)) {
        std::fprintf(stderr, "copy beside the target failed: %lu\n", ::GetLastError());
        return 1;
    }
    if (!::MoveFileExW(beside.c_str(), dest, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        std::fprintf(stderr, "replace failed: %lu\n", ::GetLastError());
        ::DeleteFileW(beside.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring command = argc >= 2 ? argv[1] : L"";
    if (command == L"folders") return Folders();
    if (command == L"lnk" && argc >= 3) return ShortcutTarget(argv[2]);
    if (command == L"update" && argc >= 4) return Update(argv[2], argv[3]);
    std::fprintf(stderr, "usage: installprobe folders | lnk FILE.lnk | update NEW DEST\n");
    return 2;
}

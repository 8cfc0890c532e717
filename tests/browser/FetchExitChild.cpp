// Starts a fetch of the address in its first argument and returns from main while the fetch's
// thread is still inside the system's HTTP library, as the shell does when the player quits
// while a page is loading. Exit code 0 unless the library was unloaded on the way out (4), or
// something crashed.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "browser/HttpFetch.h"

namespace {

// Registered before anything is loaded, so it runs after every static object has been
// destroyed: the library must still be there.
void CheckLibraryStillLoaded() {
    if (!::GetModuleHandleW(L"wininet.dll")) std::_Exit(4);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::atexit(&CheckLibraryStillLoaded);
    std::string address(argv[1]);
    std::wstring url(address.begin(), address.end());
    auto fetch = xcyh2::browser::Fetch::Start(url, nullptr, WM_APP, 0);
    // Time for the fetch's thread to connect and start reading a body that trickles in.
    ::Sleep(argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 500);
    return fetch->Done() ? 3 : 0;
}

// Downloads one address and prints how long it took and the process's peak working set:
//   download_bench URL FILE          with CDownLoadFile, events on (as the updater runs it)
//   download_bench --bare URL FILE   with a bare WinINet read loop, the platform's own floor:
//                                    8192-byte reads written straight to the file
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <cstdio>
#include <string>

#include "base/win_handles.h"
#include "update/DownLoadFile.h"

namespace {

bool BareDownload(const wchar_t* url, const wchar_t* file, std::uint32_t& received, std::uint32_t& chunks) {
    xcyh2::unique_hinternet session(::InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return false;
    xcyh2::unique_hinternet request(
        ::InternetOpenUrlW(session.get(), url, nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request) return false;
    xcyh2::unique_file out(::CreateFileW(file, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return false;
    char buffer[8192];
    for (;;) {
        DWORD got = 0;
        if (!::InternetReadFile(request.get(), buffer, sizeof(buffer), &got) || got == 0) break;
        DWORD written = 0;
        if (!::WriteFile(out.get(), buffer, got, &written, nullptr) || written != got) return false;
        received += got;
        ++chunks;
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool bare = argc == 4 && std::wstring(argv[1]) == L"--bare";
    if (argc != 3 && !bare) {
        std::fprintf(stderr, "usage: download_bench [--bare] URL FILE\n");
        return 2;
    }
    const wchar_t* url = argv[bare ? 2 : 1];
    const wchar_t* file = argv[bare ? 3 : 2];
    std::uint32_t total = 0, received = 0, chunks = 0;
    LARGE_INTEGER frequency, start, end, lastChunk{};
    ::QueryPerformanceFrequency(&frequency);
    bool ok = false;
    if (bare) {
        ::QueryPerformanceCounter(&start);
        ok = BareDownload(url, file, received, chunks);
        ::QueryPerformanceCounter(&end);
        total = received;
    } else {
        xcyh2::CDownLoadFile download;
        download.QueryFileInfo = [&](std::uint32_t n) { total = n; };
        download.Loading = [&](std::uint32_t n) {
            received = n;
            ++chunks;
            ::QueryPerformanceCounter(&lastChunk);
        };
        ::QueryPerformanceCounter(&start);
        ok = download.DownLoadFile(url, file, false, true);
        ::QueryPerformanceCounter(&end);
    }
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
    double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    // After the last chunk: putting the complete file in place (flushing it to the disk, renaming).
    double finishing = bare ? 0.0 : static_cast<double>(end.QuadPart - lastChunk.QuadPart) / frequency.QuadPart;
    std::printf("ok=%d bytes=%u total=%u chunks=%u seconds=%.4f finishing=%.4f peak_working_set=%lu\n", ok ? 1 : 0,
                received, total, chunks, seconds, finishing, static_cast<unsigned long>(memory.PeakWorkingSetSize));
    return ok ? 0 : 1;
}

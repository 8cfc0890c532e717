// Downloads one address with CDownLoadFile (events on) and prints how long it took and the
// process's peak working set: download_bench URL FILE
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "startup/DownLoadFile.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: download_bench URL FILE\n");
        return 2;
    }
    xcyh2::CDownLoadFile download;
    std::uint32_t total = 0, received = 0, chunks = 0;
    download.QueryFileInfo = [&](std::uint32_t n) { total = n; };
    download.Loading = [&](std::uint32_t n) {
        received = n;
        ++chunks;
    };
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    bool ok = download.DownLoadFile(argv[1], argv[2], false, true);
    ::QueryPerformanceCounter(&end);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
    double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    std::printf("ok=%d bytes=%u total=%u chunks=%u seconds=%.4f peak_working_set=%lu\n", ok ? 1 : 0, received, total,
                chunks, seconds, static_cast<unsigned long>(memory.PeakWorkingSetSize));
    return ok ? 0 : 1;
}

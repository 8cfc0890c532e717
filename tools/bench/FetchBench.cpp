// Times the update check's download step (FetchManifest) in one process, so that Wine's start-up
// is not counted:
//   fetch_bench URL TEMPDIR ROUNDS
// URL is the manifest's address (its signature beside it, URL + ".sig"), TEMPDIR the folder for
// the local copies (ending in a backslash). Each round runs, in turn: the check without a key
// (the manifest alone), the check with a key (the manifest and its signature side by side), and
// as a baseline the two one after the other with one download object, as a keyed check fetched
// them before. Prints one line a round: "keyless=MS keyed=MS sequential=MS".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "update/DownLoadFile.h"
#include "base/Settings.h"
#include "update/UpdateCheck.h"

namespace {

template <typename Work>
double Milliseconds(Work work) {
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    work();
    ::QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: fetch_bench URL TEMPDIR ROUNDS\n");
        return 2;
    }
    xcyh2::UpdateCheckEnvironment keyless;
    keyless.manifestUrl = argv[1];
    keyless.tempDir = argv[2];
    xcyh2::UpdateCheckEnvironment keyed = keyless;
    keyed.publisherKey = xcyh2::PublisherKey{};  // only asked whether there is one: nothing is verified here
    const std::wstring copy = keyless.tempDir + xcyh2::settings::kManifestFileName;
    const std::wstring signature = std::wstring(argv[1]) + xcyh2::settings::kSignatureSuffix;
    xcyh2::CDownLoadFile download;
    for (int round = 0, rounds = std::wcstol(argv[3], nullptr, 10); round < rounds; ++round) {
        double a = Milliseconds([&] { xcyh2::FetchManifest(download, keyless); });
        double b = Milliseconds([&] { xcyh2::FetchManifest(download, keyed); });
        double c = Milliseconds([&] {
            download.DownLoadFile(keyless.manifestUrl, copy, true, false);
            download.DownLoadFile(signature, copy + xcyh2::settings::kSignatureSuffix, true, false);
        });
        std::printf("keyless=%.2f keyed=%.2f sequential=%.2f\n", a, b, c);
        std::fflush(stdout);
    }
    return 0;
}

// Fuzz target for the manifest reader: any bytes, read whole and in pieces, give the same
// answer, and a value never outgrows its bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "update/UpdateManifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto whole = xcyh2::ReadManifestVersion(bytes);

    std::size_t piece = size ? data[0] % 17 + 1 : 1;
    xcyh2::ManifestVersionReader reader;
    bool done = false;
    for (std::size_t at = 0; at < size && !done; at += piece) done = reader.Feed(bytes.substr(at, piece));
    if (!done) reader.Finish();

    if (reader.Version() != whole) std::abort();
    if (whole && whole->size() > xcyh2::ManifestVersionReader::kMaxValueBytes) std::abort();
    (void)xcyh2::UpdaterArguments(std::wstring(bytes.begin(), bytes.end()));
    return 0;
}

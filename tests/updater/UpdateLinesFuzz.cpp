// Fuzz target for the updater's manifest line reader: any bytes, read whole and in pieces, give
// the same lines, and every name handed out is a plain file name that ends its address.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "updater/PlainFileName.h"
#include "updater/UpdateLines.h"
#include "updater/UpdaterArgs.h"

namespace {

std::vector<std::string> Lines(std::string_view bytes, std::size_t piece, std::size_t& unusable) {
    std::vector<std::string> lines;
    xcyh2::UpdateLineReader reader([&](const xcyh2::UpdateFileLine& file) {
        if (!xcyh2::IsPlainFileName(file.name) || !std::string_view(file.url).ends_with(file.name)) std::abort();
        if (file.url.size() > xcyh2::UpdateLineReader::kMaxLineBytes) std::abort();
        lines.push_back(file.url + '\n' + file.name + (file.sha256 ? "#" : ""));
        return true;
    });
    for (std::size_t at = 0; at < bytes.size(); at += piece) reader.Feed(bytes.substr(at, piece));
    reader.Finish();
    unusable = reader.UnusableLines();
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::size_t unusableWhole = 0, unusablePieces = 0;
    auto whole = Lines(bytes, size ? size : 1, unusableWhole);
    auto pieces = Lines(bytes, size ? data[0] % 13 + 1 : 1, unusablePieces);
    if (whole != pieces || unusableWhole != unusablePieces) std::abort();

    auto target = xcyh2::SplitUpdaterArguments(std::wstring(bytes.begin(), bytes.end()));
    if (target && (target->folder.empty() || (target->folder.back() != L'\\' && target->folder.back() != L'/'))) {
        std::abort();
    }
    return 0;
}

// Reading the manifest's local copy into one of its streaming readers (the shell's version
// reader, the updater's file-line reader), piece by piece: a large file costs no memory, and
// reading stops as soon as the reader needs no more.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace xcyh2 {

enum class FeedEnd { NoFile, ReaderDone, EndOfFile };

// Hands the file's bytes to feed in pieces until feed returns true or the file ends (a read
// error counts as its end).
FeedEnd FeedFileInPieces(const std::wstring& path, const std::function<bool(std::string_view)>& feed);

// For a reader with Feed (true once it is done) and Finish (the end of the file). False when
// the file cannot be opened.
template <class Reader>
bool FeedManifestFile(const std::wstring& path, Reader& reader) {
    FeedEnd end = FeedFileInPieces(path, [&reader](std::string_view piece) { return reader.Feed(piece); });
    if (end == FeedEnd::EndOfFile) reader.Finish();
    return end != FeedEnd::NoFile;
}

}  // namespace xcyh2

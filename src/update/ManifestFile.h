// Reading the manifest's local copy into one of its streaming readers (the shell's version
// reader, the updater's file-line reader). Without a publisher key it is read piece by piece: a
// large file costs no memory, and reading stops as soon as the reader needs no more. With one,
// the copy is read once, whole, into memory: those bytes are checked against the signature and
// are the bytes parsed, whatever happens to the file meanwhile.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "base/EcdsaDer.h"
#include "update/VersionOrder.h"

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

// A signed manifest bigger than this is refused: a list of files is a few kilobytes.
inline constexpr std::size_t kMaxSignedManifestBytes = 1u << 20;

struct WholeManifest {
    enum class End { Read, NoFile, TooBig, ReadFailed };
    End end = End::NoFile;
    std::string bytes;  // the whole file, when end is Read
};

// Reads the file whole, at most maxBytes of it. Nobody may write to it while it is read. A
// bigger file is not read, and the event log says so.
WholeManifest ReadWholeManifest(const std::wstring& path, std::size_t maxBytes = kMaxSignedManifestBytes);

// A copy checked as a build with the publisher's key checks it: read once, its signature
// (path + ".sig") checked over those bytes, and its version compared with ours.
struct SignedManifest {
    enum class End {
        NoFile,      // no copy to read
        Unverified,  // unreadable, over the size limit, or not signed with the key
        NoVersion,   // signed, but without a version line
        Compared,    // signed, with a version: order tells how it stands to ours
    };
    End end = End::NoFile;
    VersionOrder order = VersionOrder::NotComparable;
    std::string bytes;  // the checked copy, when it is signed
};
SignedManifest ReadSignedManifest(const PublisherKey& key, const std::wstring& path, std::string_view ourVersion);

// Hands bytes held in memory to a reader, as FeedManifestFile does with a file.
template <class Reader>
void FeedManifestBytes(std::string_view bytes, Reader& reader) {
    if (!reader.Feed(bytes)) reader.Finish();
}

}  // namespace xcyh2

// The file lines of the manifest as the updater reads them. No window, no platform calls: the
// updater feeds the local copy's bytes in and is handed one file line at a time.
//
// Lines and characters are split exactly as the shell's version reader splits them (CR or CR LF,
// double-byte characters of the ANSI code page). A line whose lower-cased text contains
// "version" is the shell's version line and is passed over. Every other line is "|"-separated:
//   field 1   not used (a label of the publisher's)
//   field 2   the HTTP address of the file; its local name is the text after the last "/"
//   field 3   optional: the file's SHA-256 as exactly 64 hexadecimal digits (either case, spaces
//             around it allowed); anything else there is ignored, as are further fields.
// A line with fewer than two fields is passed over; so is one whose name is not a plain file
// name (PlainFileName.h) or that is too long to be a real file line: those two are counted, so
// the player can be told that not everything was updated.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Digest.h"
#include "update/ManifestLines.h"

namespace xcyh2 {

// Exactly 64 hexadecimal digits, either case, with spaces around them; nothing otherwise.
std::optional<Sha256Digest> ParseSha256Hex(std::string_view text);

struct UpdateFileLine {
    std::string url;   // field 2, ANSI text
    std::string name;  // after the last "/" of the address, a plain file name
    std::optional<Sha256Digest> sha256;
};

class UpdateLineReader {
public:
    // Handed each usable file line in file order; returns false to read no further line.
    using FileLineHandler = std::function<bool(const UpdateFileLine&)>;

    explicit UpdateLineReader(FileLineHandler onFileLine, LeadBytePredicate isLeadByte = &IsGbkLeadByte);

    // Feeds the next piece of the file. Returns true once the handler asked to stop; later
    // pieces are then ignored.
    bool Feed(std::string_view bytes);
    // The end of the file also ends the last line.
    void Finish();

    // Lines passed over because their name is unusable or the line is overlong.
    std::size_t UnusableLines() const { return unusable_; }

    // A line longer than this cannot be a file line of ours; it is read to its end and skipped.
    static constexpr std::size_t kMaxLineBytes = 8192;

private:
    friend class ManifestLineSplitter;
    void Character(std::string_view ch);
    void EndLine();
    bool Done() const { return done_; }

    FileLineHandler onFileLine_;
    LeadBytePredicate isLeadByte_;
    ManifestLineSplitter splitter_;
    bool done_ = false;
    std::size_t unusable_ = 0;

    // State of the current line.
    std::string line_;
    std::vector<std::size_t> bars_;    // offsets of the "|" characters
    std::size_t lastSlashInAddress_ = 0;  // just past the last "/" of field 2, 0 for none
    bool overlong_ = false;
    bool hasCharacters_ = false;
    VersionKeySpotter key_;
};

}  // namespace xcyh2

// The version manifest "update.txt" as the shell reads it, and the argument string it hands to
// the updater. No window, no platform calls: the update check feeds the file's bytes in.
//
// The manifest is text in the system's ANSI code page. A line ends at CR or at CR LF; a lone LF
// is an ordinary character. The version line is the first line whose lower-cased text contains
// "version"; its value is the line from the ninth character on, with spaces (U+0020 only)
// trimmed at both ends. Characters, not bytes, are counted and searched: a double-byte
// character counts as one, and its trail byte (which may look like an ASCII letter) never takes
// part in a match.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/lead_byte.h"
#include "update/ManifestLines.h"

namespace xcyh2 {

// Reads a manifest in pieces of any size until its version line is complete, keeping no more
// than a bounded part of any line: a huge file, or one without line ends, costs no memory.
class ManifestVersionReader {
public:
    explicit ManifestVersionReader(LeadBytePredicate isLeadByte = &IsGbkLeadByte);

    // Feeds the next piece of the file. Returns true once the version line has been read
    // completely; later pieces are then ignored.
    bool Feed(std::string_view bytes);
    // The end of the file also ends the last line.
    void Finish();

    // The version value, once the version line is complete; nothing when the manifest has no
    // version line (or it has not been read to its end yet).
    const std::optional<std::string>& Version() const { return version_; }

    // Values longer than this are kept only in part; they can never equal a real version.
    static constexpr std::size_t kMaxValueBytes = 4096;

private:
    friend class ManifestLineSplitter;
    void Character(std::string_view ch);
    void EndLine();
    bool Done() const { return done_; }

    ManifestLineSplitter splitter_;
    std::optional<std::string> version_;
    bool done_ = false;

    // State of the current line.
    std::size_t characters_ = 0;  // characters seen so far
    VersionKeySpotter key_;       // whether "version" has been seen in it
    std::string value_;           // from the ninth character on, leading spaces dropped
    bool valueOverflow_ = false;  // non-space text went beyond kMaxValueBytes
};

// Convenience for a whole file held in memory.
std::optional<std::string> ReadManifestVersion(std::string_view manifest,
                                               LeadBytePredicate isLeadByte = &IsGbkLeadByte);

// The program's own version, major.minor.revision in decimal: "1.1.0".
std::string LocalVersionString();

// The updater's argument string for the shell's program file: its folder without a trailing
// backslash (a drive root keeps it), "|", then that folder, "\", the file name without its
// extension and ".exe". D:\Games\Shell\client.exe gives D:\Games\Shell|D:\Games\Shell\client.exe;
// E:\client.exe gives E:\|E:\\client.exe.
std::wstring UpdaterArguments(std::wstring_view programPath);

}  // namespace xcyh2

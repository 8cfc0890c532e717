// How the manifest's bytes become lines and characters, shared by the shell's version reader
// and the updater's file-line reader. No window, no platform calls.
//
// A line ends at CR or at CR LF; a lone LF is an ordinary character. A character is one byte,
// or a lead byte of the double-byte code page with its trail byte; a lead byte without a
// valid trail byte is a character of its own. The state between pieces is kept, so a file can be
// fed in pieces of any size (a CR and its LF, a lead and its trail byte may fall apart).
#pragma once

#include <cstddef>
#include <string_view>

#include "base/lead_byte.h"

namespace xcyh2 {

class ManifestLineSplitter {
public:
    explicit ManifestLineSplitter(LeadBytePredicate isLeadByte = &IsGbkLeadByte)
        : isLeadByte_(isLeadByte ? isLeadByte : &IsGbkLeadByte) {}

    // Hands every character of bytes to sink.Character(std::string_view) and every line end to
    // sink.EndLine(), until sink.Done() turns true; the rest of the piece is then left unread.
    template <class Sink>
    void Feed(std::string_view bytes, Sink& sink) {
        for (std::size_t i = 0; i < bytes.size() && !sink.Done(); ++i) {
            unsigned char byte = static_cast<unsigned char>(bytes[i]);
            if (pendingLead_ >= 0) {
                char pair[2] = {static_cast<char>(pendingLead_), static_cast<char>(byte)};
                pendingLead_ = -1;
                if (IsTrailByte(byte)) {
                    sink.Character(std::string_view(pair, 2));
                    continue;
                }
                sink.Character(std::string_view(pair, 1));  // a lone lead byte; the byte starts afresh
                if (sink.Done()) return;
            }
            if (afterCr_) {
                afterCr_ = false;
                if (byte == '\n') continue;
            }
            if (byte == '\r') {
                sink.EndLine();
                afterCr_ = true;
            } else if (isLeadByte_(byte)) {
                pendingLead_ = byte;
            } else {
                sink.Character(bytes.substr(i, 1));
            }
        }
    }

    // The end of the file: a lead byte left over is a character, and the last line ends.
    template <class Sink>
    void Finish(Sink& sink) {
        if (sink.Done()) return;
        if (pendingLead_ >= 0) {
            char lone = static_cast<char>(pendingLead_);
            pendingLead_ = -1;
            sink.Character(std::string_view(&lone, 1));
            if (sink.Done()) return;
        }
        sink.EndLine();
    }

    // A byte that may follow a lead byte (GBK trail bytes 0x40-0xFE except 0x7F; the other
    // double-byte code pages use subsets of it). Anything else leaves the lead byte on its own.
    static bool IsTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

private:
    LeadBytePredicate isLeadByte_;
    bool afterCr_ = false;   // an LF right after a CR belongs to that line end
    int pendingLead_ = -1;   // a lead byte whose trail byte is still to come
};

// Spots the key "version" in a line fed character by character, with ASCII letters compared in
// lower case. A double-byte character is never part of the key, so a trail byte that looks like
// a letter cannot complete it.
class VersionKeySpotter {
public:
    void Character(std::string_view ch);
    bool Found() const { return found_; }
    void Reset() {
        matched_ = 0;
        found_ = false;
    }

private:
    std::size_t matched_ = 0;
    bool found_ = false;
};

}  // namespace xcyh2

#include "startup/UpdateManifest.h"

#include <algorithm>
#include <cstring>

#include "startup/Settings.h"

namespace xcyh2 {
namespace {

constexpr std::string_view kVersionKey = "version";

// A byte that may follow a lead byte (GBK trail bytes 0x40-0xFE except 0x7F; the other
// double-byte code pages use subsets of it). Anything else leaves the lead byte on its own.
bool IsTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

}  // namespace

ManifestVersionReader::ManifestVersionReader(LeadBytePredicate isLeadByte)
    : isLeadByte_(isLeadByte ? isLeadByte : &IsGbkLeadByte) {}

bool ManifestVersionReader::Feed(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size() && !done_; ++i) {
        unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (pendingLead_ >= 0) {
            char pair[2] = {static_cast<char>(pendingLead_), static_cast<char>(byte)};
            pendingLead_ = -1;
            if (IsTrailByte(byte)) {
                Character(std::string_view(pair, 2));
                continue;
            }
            Character(std::string_view(pair, 1));  // a lone lead byte; the byte starts afresh
        }
        if (afterCr_) {
            afterCr_ = false;
            if (byte == '\n') continue;
        }
        if (byte == '\r') {
            EndLine();
            afterCr_ = true;
        } else if (isLeadByte_(byte)) {
            pendingLead_ = byte;
        } else {
            Character(bytes.substr(i, 1));
        }
    }
    return done_;
}

void ManifestVersionReader::Finish() {
    if (done_) return;
    if (pendingLead_ >= 0) {
        char lone = static_cast<char>(pendingLead_);
        pendingLead_ = -1;
        Character(std::string_view(&lone, 1));
    }
    EndLine();
}

void ManifestVersionReader::Character(std::string_view ch) {
    ++characters_;
    if (!hasVersion_) {
        // A double-byte character is never part of the key. "version" has no prefix that is also
        // its suffix, so a mismatch can only restart the match at a "v".
        char lowered = '\0';
        if (ch.size() == 1) {
            lowered = ch[0];
            if (lowered >= 'A' && lowered <= 'Z') lowered = static_cast<char>(lowered - 'A' + 'a');
        }
        if (lowered == kVersionKey[matched_]) {
            hasVersion_ = ++matched_ == kVersionKey.size();
        } else {
            matched_ = lowered == kVersionKey[0] ? 1 : 0;
        }
    }
    // The first eight characters are skipped whatever they are.
    if (characters_ <= 8) return;
    bool space = ch.size() == 1 && ch[0] == ' ';
    if (value_.empty() && space) return;
    if (value_.size() + ch.size() <= kMaxValueBytes) {
        value_.append(ch.data(), ch.size());
    } else if (!space) {
        valueOverflow_ = true;
    }
}

void ManifestVersionReader::EndLine() {
    if (hasVersion_) {
        // A cut value keeps its spaces, so that it can never trim down to a real version.
        if (!valueOverflow_) {
            std::size_t end = value_.find_last_not_of(' ');
            value_.resize(end == std::string::npos ? 0 : end + 1);
        }
        version_ = std::move(value_);
        done_ = true;
        return;
    }
    characters_ = 0;
    matched_ = 0;
    value_.clear();
    valueOverflow_ = false;
}

std::optional<std::string> ReadManifestVersion(std::string_view manifest, LeadBytePredicate isLeadByte) {
    ManifestVersionReader reader(isLeadByte);
    if (!reader.Feed(manifest)) reader.Finish();
    return reader.Version();
}

std::string LocalVersionString() {
    return std::to_string(settings::kVersionMajor) + "." + std::to_string(settings::kVersionMinor) + "." +
           std::to_string(settings::kVersionRevision);
}

std::wstring UpdaterArguments(std::wstring_view programPath) {
    std::size_t slash = programPath.find_last_of(L"\\/");
    std::wstring folder(slash == std::wstring_view::npos ? std::wstring_view() : programPath.substr(0, slash));
    std::wstring_view name = slash == std::wstring_view::npos ? programPath : programPath.substr(slash + 1);
    std::size_t dot = name.rfind(L'.');
    std::wstring_view stem = dot == std::wstring_view::npos ? name : name.substr(0, dot);
    // A drive root keeps its backslash, as the folder of a program there is written "E:\".
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    std::wstring arguments = folder;
    arguments += L'|';
    arguments += folder;
    arguments += L'\\';
    arguments += stem;
    arguments += L".exe";
    return arguments;
}

}  // namespace xcyh2

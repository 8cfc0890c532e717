#include "updater/UpdateLines.h"

#include "updater/PlainFileName.h"

namespace xcyh2 {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<Sha256Digest> ParseSha256Hex(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    Sha256Digest digest{};
    if (text.size() != digest.size() * 2) return std::nullopt;
    for (std::size_t i = 0; i < digest.size(); ++i) {
        int high = HexValue(text[2 * i]), low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        digest[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return digest;
}

UpdateLineReader::UpdateLineReader(FileLineHandler onFileLine, LeadBytePredicate isLeadByte)
    : onFileLine_(std::move(onFileLine)), isLeadByte_(isLeadByte ? isLeadByte : &IsGbkLeadByte), splitter_(isLeadByte_) {}

bool UpdateLineReader::Feed(std::string_view bytes) {
    splitter_.Feed(bytes, *this);
    return done_;
}

void UpdateLineReader::Finish() { splitter_.Finish(*this); }

void UpdateLineReader::Character(std::string_view ch) {
    hasCharacters_ = true;
    key_.Character(ch);
    if (overlong_) return;
    if (line_.size() + ch.size() > kMaxLineBytes) {
        overlong_ = true;
        return;
    }
    if (ch.size() == 1 && ch[0] == '|') bars_.push_back(line_.size());
    line_.append(ch);
    if (ch.size() == 1 && ch[0] == '/' && bars_.size() == 1) lastSlashInAddress_ = line_.size();
}

void UpdateLineReader::EndLine() {
    if (hasCharacters_ && !key_.Found()) {
        if (overlong_) {
            ++unusable_;
        } else if (!bars_.empty()) {
            std::size_t end2 = bars_.size() > 1 ? bars_[1] : line_.size();
            std::string_view line(line_);
            std::string_view url = line.substr(bars_[0] + 1, end2 - bars_[0] - 1);
            // The name starts after the last "/" of field 2, or with the field when it has none.
            std::size_t nameStart = lastSlashInAddress_ ? lastSlashInAddress_ : bars_[0] + 1;
            std::string_view name = line.substr(nameStart, end2 - nameStart);
            if (!IsPlainFileName(name, isLeadByte_)) {
                ++unusable_;
            } else {
                UpdateFileLine file{std::string(url), std::string(name), std::nullopt};
                if (bars_.size() > 1) {
                    std::size_t end3 = bars_.size() > 2 ? bars_[2] : line_.size();
                    file.sha256 = ParseSha256Hex(line.substr(bars_[1] + 1, end3 - bars_[1] - 1));
                }
                if (!onFileLine_(file)) done_ = true;
            }
        }
    }
    line_.clear();
    bars_.clear();
    lastSlashInAddress_ = 0;
    overlong_ = false;
    hasCharacters_ = false;
    key_.Reset();
}

}  // namespace xcyh2

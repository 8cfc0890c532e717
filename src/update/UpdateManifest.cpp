#include "update/UpdateManifest.h"

#include "base/Settings.h"

namespace xcyh2 {

ManifestVersionReader::ManifestVersionReader(LeadBytePredicate isLeadByte) : splitter_(isLeadByte) {}

bool ManifestVersionReader::Feed(std::string_view bytes) {
    splitter_.Feed(bytes, *this);
    return done_;
}

void ManifestVersionReader::Finish() { splitter_.Finish(*this); }

void ManifestVersionReader::Character(std::string_view ch) {
    ++characters_;
    key_.Character(ch);
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
    if (key_.Found()) {
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
    key_.Reset();
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

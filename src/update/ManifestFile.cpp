#include "update/ManifestFile.h"

#include <algorithm>
#include <vector>

#include "base/EventLog.h"
#include "update/SignatureCheck.h"
#include "base/ansi.h"
#include "base/decimal.h"
#include "base/win_handles.h"
#include "base/Settings.h"
#include "update/UpdateManifest.h"

namespace xcyh2 {

FeedEnd FeedFileInPieces(const std::wstring& path, const std::function<bool(std::string_view)>& feed) {
    // Shared with everyone: the shell may be writing a new copy while it is read.
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FeedEnd::NoFile;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) || got == 0) {
            return FeedEnd::EndOfFile;
        }
        if (feed(std::string_view(buffer.data(), got))) return FeedEnd::ReaderDone;
    }
}

WholeManifest ReadWholeManifest(const std::wstring& path, std::size_t maxBytes) {
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = ::GetLastError();
        bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return {missing ? WholeManifest::End::NoFile : WholeManifest::End::ReadFailed};
    }
    WholeManifest whole;
    // One byte more than allowed tells a file of exactly maxBytes from a bigger one.
    whole.bytes.resize(maxBytes + 1);
    std::size_t held = 0;
    while (held < whole.bytes.size()) {
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(whole.bytes.size() - held, 64 * 1024));
        DWORD got = 0;
        if (!::ReadFile(file.get(), whole.bytes.data() + held, want, &got, nullptr)) return {WholeManifest::End::ReadFailed};
        if (got == 0) break;
        held += got;
    }
    if (held > maxBytes) {
        ReportToEventLog(L"The update list " + path + L" is larger than " + DecimalText(maxBytes >> 10) +
                         L" KiB: it was not read.");
        return {WholeManifest::End::TooBig};
    }
    whole.bytes.resize(held);
    whole.end = WholeManifest::End::Read;
    return whole;
}

SignedManifest ReadSignedManifest(const PublisherKey& key, const std::wstring& path, std::string_view ourVersion) {
    WholeManifest copy = ReadWholeManifest(path);
    if (copy.end == WholeManifest::End::NoFile) return {};
    SignedManifest signedCopy;
    signedCopy.end = SignedManifest::End::Unverified;
    if (copy.end != WholeManifest::End::Read || !BytesSignedBy(key, copy.bytes, path + settings::kSignatureSuffix))
        return signedCopy;
    std::optional<std::string> version = ReadManifestVersion(copy.bytes, &IsAnsiLeadByte);
    signedCopy.end = version ? SignedManifest::End::Compared : SignedManifest::End::NoVersion;
    if (version) signedCopy.order = CompareVersions(*version, ourVersion);
    signedCopy.bytes = std::move(copy.bytes);
    return signedCopy;
}

}  // namespace xcyh2

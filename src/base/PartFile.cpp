#include "base/PartFile.h"

#include <cstring>
#include <vector>

#include "base/decimal.h"

namespace xcyh2 {
namespace {

// A WriteFile for every 8 KiB chunk of a download was about a tenth of its time.
constexpr DWORD kBufferBytes = 64 * 1024;

}  // namespace

PartFile::PartFile(const std::wstring& target, bool hidden, Kind kind)
    : target_(target),
      path_(kind == Kind::Kept ? target + L".part" : target + L"." + DecimalText(::GetCurrentProcessId()) + L".part"),
      kind_(kind) {
    // Read access for a check of the complete file and delete access for its rename, on the one
    // handle; others may only read it meanwhile.
    file_.reset(::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                              kind == Kind::Kept ? OPEN_ALWAYS : CREATE_ALWAYS,
                              hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end{};
    if (file_ && kind == Kind::Kept) {
        if (::SetFilePointerEx(file_.get(), LARGE_INTEGER{}, &end, FILE_END))
            size_ = static_cast<std::uint64_t>(end.QuadPart);
        else
            file_.reset();
    }
}

PartFile::~PartFile() {
    if (committed_) return;
    // What a later transfer goes on from must all be in the file.
    if (kind_ == Kind::Kept && file_) WriteOut(buffer_.get(), buffered_);
    file_.reset();
    // Kept only with something to go on from (a server not reached leaves nothing).
    if ((kind_ != Kind::Kept || size_ == 0) && !path_.empty()) ::DeleteFileW(path_.c_str());
}

bool PartFile::Write(const char* data, DWORD size) {
    if (finished_) return false;
    if (size > kBufferBytes - buffered_) {
        if (!WriteOut(buffer_.get(), buffered_)) return false;
        buffered_ = 0;
        if (size >= kBufferBytes) {
            if (!WriteOut(data, size)) return false;
            size_ += size;
            return true;
        }
    }
    if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferBytes);
    std::memcpy(buffer_.get() + buffered_, data, size);
    buffered_ += size;
    size_ += size;
    return true;
}

bool PartFile::WriteOut(const char* data, DWORD size) {
    DWORD written = 0;
    if (size == 0 || (::WriteFile(file_.get(), data, size, &written, nullptr) && written == size)) return true;
    // The file now lacks bytes for good: closed, so that every later write and Close fails too.
    lastError_ = ::GetLastError();
    file_.reset();
    return false;
}

bool PartFile::Truncate() {
    buffered_ = 0;
    if (!file_ || !::SetFilePointerEx(file_.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN) ||
        !::SetEndOfFile(file_.get()))
        return false;
    size_ = 0;
    return true;
}

void PartFile::Discard() {
    if (committed_) return;
    buffered_ = 0;
    file_.reset();
    finished_ = true;
    ::DeleteFileW(path_.c_str());
    kind_ = Kind::PerProcess;  // nothing is left to keep
    path_.clear();
}

bool PartFile::Finish() {
    if (finished_) return static_cast<bool>(file_);
    if (!file_ || !WriteOut(buffer_.get(), buffered_)) return false;
    buffered_ = 0;
    if (!::FlushFileBuffers(file_.get())) {
        lastError_ = ::GetLastError();
        return false;
    }
    finished_ = true;
    return true;
}

bool PartFile::Commit() {
    if (committed_) return true;
    if (path_.empty()) return false;  // discarded
    if (!Finish()) return false;
    if (!Replace()) {
        lastError_ = ::GetLastError();
        DWORD attributes = ::GetFileAttributesW(target_.c_str());
        constexpr DWORD kInTheWay = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM;
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & kInTheWay)) return false;
        if (!::SetFileAttributesW(target_.c_str(), attributes & ~kInTheWay)) return false;
        if (!Replace()) {
            lastError_ = ::GetLastError();
            ::SetFileAttributesW(target_.c_str(), attributes);
            return false;
        }
    }
    committed_ = true;
    file_.reset();
    return true;
}

bool PartFile::Replace() {
    // The open file itself is renamed: no other file can have taken its name since it was
    // written (or checked), as nobody else could rename or delete it.
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + target_.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(target_.size() * sizeof(wchar_t));
    std::memcpy(rename->FileName, target_.data(), rename->FileNameLength);
    return ::SetFileInformationByHandle(file_.get(), FileRenameInfo, rename, static_cast<DWORD>(buffer.size()));
}

}  // namespace xcyh2

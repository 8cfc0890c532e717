// A file written beside its target ("<target>.<pid>.part") that takes the target's place only
// when it is complete: a reader never sees a half-written file, an interrupted write leaves the
// earlier file as it was, and a longer earlier file leaves no tail.
//
// A kept part file ("<target>.part") holds on to what was written when it is not committed, and
// opens with what an earlier one held, so that a later transfer can go on where this one ended.
// Only one writer may use a target's kept part file at a time.
//
// The file is held open from its opening to its commit or discard, and nobody else may write,
// rename or delete it meanwhile: what is read back through handle() (a check of the bytes) is
// what Commit puts in the target's place, renaming that same open file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/win_handles.h"

namespace xcyh2 {

class PartFile {
public:
    enum class Kind { PerProcess, Kept };
    // Created hidden when asked, so that the file keeps the attribute once it is renamed.
    PartFile(const std::wstring& target, bool hidden, Kind kind = Kind::PerProcess);
    // Deleted unless it was committed; a kept one is written out and kept, if it holds a byte.
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    explicit operator bool() const { return static_cast<bool>(file_); }

    // Small writes are gathered in memory (up to 64 KiB) and go to the file together; Finish and
    // Commit write out what is left. So a failed write may show only there.
    bool Write(const char* data, DWORD size);

    // The bytes it holds (for a kept part file, what an earlier writer left too).
    std::uint64_t Size() const { return size_; }
    // Drops every byte held, to be written afresh.
    bool Truncate();
    // Deletes the file now, kept or not; nothing can be written or committed after it.
    void Discard();

    // Writes out what is held and flushes it to the disk: the file is complete and can be read
    // back through handle() (from any position: Commit does not care). Nothing more can be
    // written after it.
    bool Finish();
    // The open file (read and write access); none once it is committed or discarded, or when a
    // write failed.
    HANDLE handle() const { return file_.get(); }
    // The temporary file's own path.
    const std::wstring& path() const { return path_; }

    // Finishes the file and puts it in the target's place. A hidden, read-only or system
    // file in the way loses those attributes for the replacement, and gets them back when the
    // replacement still fails. A failed commit may be tried again (a target in use may be free
    // a moment later); LastError() tells why it failed.
    bool Commit();
    DWORD LastError() const { return lastError_; }

private:
    bool WriteOut(const char* data, DWORD size);
    bool Replace();

    std::wstring target_;
    std::wstring path_;
    Kind kind_;
    unique_file file_;
    std::uint64_t size_ = 0;  // written, whether out or still held in the buffer
    std::unique_ptr<char[]> buffer_;
    DWORD buffered_ = 0;
    bool finished_ = false;
    bool committed_ = false;
    DWORD lastError_ = ERROR_SUCCESS;
};

}  // namespace xcyh2

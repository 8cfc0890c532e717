#include "desktop/CNotifyIcon.h"

#include <cstddef>

#include "base/SystemLibraries.h"
#include "base/ansi.h"
#include "desktop/NotifyText.h"

namespace xcyh2::desktop {

namespace {

#if defined(__i386__)
static_assert(sizeof(NotifyRecord) == 488, "the notification record is 488 bytes");
#endif
// The same layout as the system's record, field by field, up to the balloon flags.
static_assert(sizeof(NotifyRecord) == NOTIFYICONDATAA_V2_SIZE);
static_assert(offsetof(NotifyRecord, szTip) == offsetof(NOTIFYICONDATAA, szTip));
static_assert(offsetof(NotifyRecord, szInfo) == offsetof(NOTIFYICONDATAA, szInfo));
static_assert(offsetof(NotifyRecord, uTimeout) == offsetof(NOTIFYICONDATAA, uTimeout));
static_assert(offsetof(NotifyRecord, szInfoTitle) == offsetof(NOTIFYICONDATAA, szInfoTitle));
static_assert(offsetof(NotifyRecord, dwInfoFlags) == offsetof(NOTIFYICONDATAA, dwInfoFlags));

template <std::size_t N>
void SetText(CHAR (&field)[N], const std::wstring& text) {
    CopyToField(WideToAnsi(text), field, &IsAnsiLeadByte);
}

}  // namespace

CNotifyIcon::CNotifyIcon(ShellNotifyFunction shell) : shell_(shell ? shell : &sys::ShellNotifyIconA) {
    record_.cbSize = sizeof(record_);
    record_.uID = kNotifyIconId;
    record_.uFlags = kNotifyFlags;
    record_.uCallbackMessage = kNotifyCallbackMessage;
}

CNotifyIcon::~CNotifyIcon() { DeleteNotifyIcon(); }

void CNotifyIcon::SetIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip) {
    record_.hWnd = hWnd;
    record_.uID = kNotifyIconId;
    record_.uFlags = kNotifyFlags;
    record_.uCallbackMessage = kNotifyCallbackMessage;
    record_.hIcon = hIcon;
    SetText(record_.szTip, strTip);
}

void CNotifyIcon::AddNotifyIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip) {
    record_ = NotifyRecord{};  // a new icon starts without a balloon
    record_.cbSize = sizeof(record_);
    SetIcon(hWnd, hIcon, strTip);
    Send(NIM_ADD);
}

void CNotifyIcon::ModifyNotifyIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip) {
    SetIcon(hWnd, hIcon, strTip);
    Send(NIM_MODIFY);
}

void CNotifyIcon::ShowBubble(const std::wstring& strTitle, const std::wstring& strInfo, DWORD eInfoFlags) {
    SetText(record_.szInfoTitle, strTitle);
    SetText(record_.szInfo, strInfo);
    record_.dwInfoFlags = eInfoFlags;
    Send(NIM_MODIFY);
}

void CNotifyIcon::HideBubble() {
    SetText(record_.szInfoTitle, L"");
    SetText(record_.szInfo, L"");
    Send(NIM_MODIFY);
}

void CNotifyIcon::DeleteNotifyIcon() { Send(NIM_DELETE); }

void CNotifyIcon::Send(DWORD message) {
    // The record is the system's layout up to its size field; the shell reads no further.
    shell_(message, reinterpret_cast<PNOTIFYICONDATAA>(&record_));
}

}  // namespace xcyh2::desktop

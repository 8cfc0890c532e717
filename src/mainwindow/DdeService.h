// The shell as a DDE server, through the system's DDE management library: service = the
// program's base name ("xcyh2" for xcyh2.exe), topic "YunfanDDE". Another program opens a game
// page in the main window with an execute request whose command is the page's address. The
// service is registered from start-up on, since a request may come before the main window
// exists. One service per process.
#pragma once

#include <windows.h>
#include <ddeml.h>

#include <functional>
#include <string>

namespace xcyh2 {

inline constexpr const wchar_t* kDdeTopic = L"YunfanDDE";

class DdeService {
public:
    // Runs one execute request; true acknowledges it positively, false as not processed.
    using Execute = std::function<bool(const std::wstring& command)>;

    DdeService() = default;
    ~DdeService();  // unregisters
    DdeService(const DdeService&) = delete;
    DdeService& operator=(const DdeService&) = delete;

    // Registers the service; false when the library refuses (or another DdeService runs).
    bool Start(const std::wstring& service, Execute onExecute);
    void Stop();
    bool Running() const { return instance_ != 0; }

private:
    static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                                      ULONG_PTR data1, ULONG_PTR data2);
    HDDEDATA OnExecute(HSZ topic, HDDEDATA data);

    DWORD instance_ = 0;
    HSZ service_ = nullptr;
    HSZ topic_ = nullptr;
    Execute onExecute_;
};

// The shell's own service name: its program file's base name.
std::wstring ShellDdeServiceName();

}  // namespace xcyh2

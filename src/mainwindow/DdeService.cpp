#include "mainwindow/DdeService.h"

#include <vector>

#include "base/EventLog.h"
#include "forms/Application.h"
#include "mainwindow/GameAddress.h"

namespace xcyh2 {
namespace {
// The library's callback carries no data of its own: the running service is found here.
DdeService* g_running = nullptr;
}  // namespace

DdeService::~DdeService() { Stop(); }

bool DdeService::Start(const std::wstring& service, Execute onExecute) {
    if (instance_ || g_running) return false;
    DWORD instance = 0;
    const DWORD flags = APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES | CBF_FAIL_REQUESTS |
                        CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS;
    if (::DdeInitializeW(&instance, &Callback, flags, 0) != DMLERR_NO_ERROR) return false;
    instance_ = instance;
    onExecute_ = std::move(onExecute);
    g_running = this;
    service_ = ::DdeCreateStringHandleW(instance_, service.c_str(), CP_WINUNICODE);
    topic_ = ::DdeCreateStringHandleW(instance_, kDdeTopic, CP_WINUNICODE);
    if (!service_ || !topic_ || !::DdeNameService(instance_, service_, nullptr, DNS_REGISTER)) {
        Stop();
        return false;
    }
    return true;
}

void DdeService::Stop() {
    if (!instance_) return;
    if (service_) ::DdeNameService(instance_, service_, nullptr, DNS_UNREGISTER);
    if (topic_) ::DdeFreeStringHandle(instance_, topic_);
    if (service_) ::DdeFreeStringHandle(instance_, service_);
    topic_ = service_ = nullptr;
    ::DdeUninitialize(instance_);
    instance_ = 0;
    onExecute_ = nullptr;
    if (g_running == this) g_running = nullptr;
}

HDDEDATA DdeService::OnExecute(HSZ topic, HDDEDATA data) {
    if (::DdeCmpStringHandles(topic, topic_) != 0 || !data) return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
    DWORD bytes = ::DdeGetData(data, nullptr, 0, 0);
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (bytes) ::DdeGetData(data, reinterpret_cast<LPBYTE>(text.data()), bytes, 0);
    std::wstring command(text.data());  // up to the terminating zero
    auto handler = onExecute_;  // the handler may stop the service
    bool done = false;
    try {
        done = handler && handler(command);
    } catch (...) {
        ReportCurrentException(L"DdeService.Execute");
        done = false;
    }
    return reinterpret_cast<HDDEDATA>(done ? DDE_FACK : DDE_FNOTPROCESSED);
}

HDDEDATA CALLBACK DdeService::Callback(UINT type, UINT, HCONV, HSZ hsz1, HSZ hsz2, HDDEDATA data, ULONG_PTR,
                                       ULONG_PTR) {
    DdeService* self = g_running;
    if (!self) return nullptr;
    try {
        switch (type) {
            case XTYP_CONNECT:
                // hsz1 is the topic, hsz2 the service.
                return reinterpret_cast<HDDEDATA>(::DdeCmpStringHandles(hsz1, self->topic_) == 0 &&
                                                  ::DdeCmpStringHandles(hsz2, self->service_) == 0);
            case XTYP_EXECUTE:
                return self->OnExecute(hsz1, data);
            default:
                return nullptr;
        }
    } catch (...) {
        // Nothing may cross back into the DDE library: the request is refused.
        ReportCurrentException(L"DdeService.Callback");
        return type == XTYP_EXECUTE ? reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED) : nullptr;
    }
}

std::wstring ShellDdeServiceName() { return ProgramBaseName(forms::Application::ProgramPath()); }

}  // namespace xcyh2

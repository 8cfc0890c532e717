// ddesend.exe SERVICE TOPIC COMMAND [TIMEOUT_MS]
// A small DDE client: connects to SERVICE / TOPIC and sends COMMAND as one execute request.
// Exit code: 0 acknowledged, 1 refused (not processed), 2 no such service or topic, 3 any other
// failure (timeout, bad arguments).
#include <windows.h>
#include <ddeml.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

int Send(const wchar_t* service, const wchar_t* topic, const std::wstring& command, DWORD timeout) {
    DWORD instance = 0;
    if (::DdeInitializeW(&instance, &ClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return 3;
    int code = 3;
    HSZ hszService = ::DdeCreateStringHandleW(instance, service, CP_WINUNICODE);
    HSZ hszTopic = ::DdeCreateStringHandleW(instance, topic, CP_WINUNICODE);
    HCONV conv = ::DdeConnect(instance, hszService, hszTopic, nullptr);
    if (!conv) {
        code = 2;
    } else {
        DWORD result = 0;
        auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
        HDDEDATA done = ::DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<wchar_t*>(command.c_str())),
                                               bytes, conv, nullptr, CF_UNICODETEXT, XTYP_EXECUTE, timeout, &result);
        if (done) code = 0;
        else code = ::DdeGetLastError(instance) == DMLERR_NOTPROCESSED ? 1 : 3;
        ::DdeDisconnect(conv);
    }
    if (hszTopic) ::DdeFreeStringHandle(instance, hszTopic);
    if (hszService) ::DdeFreeStringHandle(instance, hszService);
    ::DdeUninitialize(instance);
    return code;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 4) {
        std::fprintf(stderr, "usage: ddesend SERVICE TOPIC COMMAND [TIMEOUT_MS]\n");
        return 3;
    }
    DWORD timeout = argc >= 5 ? static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)) : 20000;
    int code = Send(argv[1], argv[2], argv[3], timeout);
    ::LocalFree(argv);
    return code;
}

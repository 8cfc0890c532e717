// The updater program. For now it records the argument string it was started with (in the
// temporary folder as "Update-args.txt", UTF-8) and shows it in a small window that closes
// itself after a few seconds; the download work comes with the updater's own window.
#include <windows.h>

#include <string>

#include "base/utf.h"
#include "base/win_handles.h"
#include "forms/Application.h"
#include "forms/Form.h"
#include "startup/CommandLine.h"
#include "startup/PublicData.h"

namespace {

class UpdateFrm : public xcyh2::forms::Form {
public:
    explicit UpdateFrm(std::wstring arguments) : arguments_(std::move(arguments)) {}

protected:
    xcyh2::forms::WindowDesign Design() const override {
        xcyh2::forms::WindowDesign design;
        design.className = L"UpdateFrm";
        design.caption = L"星槎远航录2 更新程序";
        design.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
        design.width = 420;
        design.height = 140;
        design.clientSize = true;
        return design;
    }
    void Form_Load() override {
        label_ = ::CreateWindowExW(0, L"STATIC", (L"参数：" + arguments_).c_str(), WS_CHILD | WS_VISIBLE, 12, 12,
                                   396, 116, handle(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetTimer(handle(), 1, 5000, nullptr);
    }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_TIMER && wParam == 1) {
            ::KillTimer(handle(), 1);
            Unload();
            return 0;
        }
        return Form::HandleMessage(msg, wParam, lParam);
    }

private:
    std::wstring arguments_;
    HWND label_ = nullptr;
};

void RecordArguments(const std::wstring& arguments) {
    std::wstring path = xcyh2::GetTempDir() + L"Update-args.txt";
    xcyh2::unique_file file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    std::string utf8 = xcyh2::WideToUtf8(arguments);
    DWORD written = 0;
    ::WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::wstring arguments = xcyh2::ArgumentString(::GetCommandLineW());
    RecordArguments(arguments);
    UpdateFrm form(arguments);
    form.Load();
    form.Show(SW_SHOWNORMAL);
    return xcyh2::forms::Application::Run();
}

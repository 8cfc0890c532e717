// The main game window. For now a plain window that holds one browser control and shows the
// game page it is given; the skinned window with its tabs replaces the inside later, keeping
// this entry point.
#pragma once

#include <memory>
#include <string>

#include "browser/WebBrowser.h"
#include "forms/Form.h"

namespace xcyh2 {

class WebMainFrm : public forms::Form {
public:
    static WebMainFrm& Instance();

    // Opens the game page (loading the window first when needed).
    void SetURL(const std::wstring& strURL);

    browser::IWebBrowser* Browser() const { return browser_.get(); }

protected:
    forms::WindowDesign Design() const override;
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload() override;

private:
    std::shared_ptr<browser::IWebBrowser> browser_;
};

}  // namespace xcyh2

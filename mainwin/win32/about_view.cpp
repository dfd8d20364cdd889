#include "mainwin/win32/about_view.h"

#include "platform/win32/win32_ui.h"

namespace vendaro::win32 {

AboutView::AboutView(FrmAbout& model) : model_(model) {}

bool AboutView::Create(HWND owner) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    if (!CreateForm(model_.Caption(), style, FrmAbout::kClientWidth, FrmAbout::kClientHeight,
                    owner)) {
        return false;
    }
    product_ = AddControl("STATIC", model_.ProductName(), SS_LEFT | SS_NOPREFIX,
                          FrmAbout::kProductPosition, 0);
    version_ = AddControl("STATIC", model_.VersionText(), SS_LEFT | SS_NOPREFIX,
                          FrmAbout::kVersionPosition, 0);
    description_ = AddControl("STATIC", model_.Description(), SS_LEFT | SS_NOPREFIX,
                              FrmAbout::kDescriptionPosition, 0);
    ok_ = AddControl("BUTTON", model_.Command1().caption, WS_TABSTOP | BS_PUSHBUTTON,
                     model_.Command1().position, kOkId);
    // The name stands out: the message font, larger and bold.
    LOGFONTA font{};
    if (GetObjectA(UiFont(), sizeof font, &font) == sizeof font) {
        font.lfHeight = font.lfHeight * 3 / 2;
        font.lfWeight = FW_BOLD;
        title_font_.Attach(CreateFontIndirectA(&font));
        if (title_font_) {
            SendMessageA(product_, WM_SETFONT, reinterpret_cast<WPARAM>(title_font_.get()), TRUE);
        }
    }
    return true;
}

bool AboutView::PreviewKey(int key_code, int shift) {
    // Enter on the focused OK button closes as a click does; Escape closes.
    return model_.Form_KeyDown(key_code, shift);
}

LRESULT AboutView::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wparam) == kOkId && HIWORD(wparam) == BN_CLICKED) model_.Command1_Click();
            return 0;
        case WM_CLOSE:
            model_.Close();
            return 0;
        default:
            return FormWindow::HandleMessage(message, wparam, lparam);
    }
}

}  // namespace vendaro::win32

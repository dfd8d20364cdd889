#include "platform/win32/win32_ui.h"

#include <vector>

#include "platform/win32/win32_handles.h"

namespace vendaro::win32 {
namespace {

int Dpi(int index) {
    ScreenDC dc;
    int dpi = dc.get() != nullptr ? GetDeviceCaps(dc.get(), index) : 0;
    return dpi > 0 ? dpi : 96;
}

// The windows' positions and widths were laid out for the classic 8-point dialog font;
// "MS Shell Dlg" maps to it on every system (the message font is larger on current ones).
Font CreateUiFont() {
    LOGFONTA font{};
    font.lfHeight = -MulDiv(8, Dpi(LOGPIXELSY), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(font.lfFaceName, "MS Shell Dlg", LF_FACESIZE);
    return Font(CreateFontIndirectA(&font));
}

}  // namespace

int TwipsToPixelsX(int twips) {
    return MulDiv(twips, Dpi(LOGPIXELSX), 1440);
}
int TwipsToPixelsY(int twips) {
    return MulDiv(twips, Dpi(LOGPIXELSY), 1440);
}

HFONT UiFont() {
    static Font font = CreateUiFont();
    return font ? font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void ApplyUiFont(HWND window) {
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), TRUE);
}

std::string WindowText(HWND window) {
    if (window == nullptr) return {};
    int length = GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

void CenterOnScreen(HWND window) {
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(window, nullptr, x > 0 ? x : 0, y > 0 ? y : 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vendaro::win32

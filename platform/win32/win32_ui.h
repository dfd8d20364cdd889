#pragma once
// Small helpers shared by the program's windows: twips to pixels, the dialog font, texts.
#include "platform/win32/windows_api.h"

#include <cstdint>
#include <string>

namespace vendaro::win32 {

// Twips (1/1440 inch) to pixels at the system's horizontal / vertical DPI.
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);

// The dialog font ("MS Shell Dlg", 8 point), created once and kept for the life of the
// process.
HFONT UiFont();

// Sets UiFont on `window`.
void ApplyUiFont(HWND window);

// The window's text; "" for no window.
std::string WindowText(HWND window);

// Moves `window` (a top-level window) so that it sits in the centre of the primary screen.
void CenterOnScreen(HWND window);

// The window handle type of the portable interfaces, and back.
inline HWND ToHwnd(std::uintptr_t handle) {
    return reinterpret_cast<HWND>(handle);
}
inline std::uintptr_t FromHwnd(HWND window) {
    return reinterpret_cast<std::uintptr_t>(window);
}

}  // namespace vendaro::win32

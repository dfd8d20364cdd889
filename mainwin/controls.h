#pragma once
// Control state shared by the main window's models; views draw exactly this.
#include <string>

namespace vendaro {

// Left, top, width, height in twips (1/1440 inch).
struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Twips&) const = default;
};

struct ButtonControl {
    std::string name;     // "Command1"
    std::string caption;  // with its access-key "&"
    std::string tool_tip;
    Twips position;
    bool enabled = true;
};

struct ColumnHeader {
    std::string text;
    int width = 2000;  // twips, left-aligned
};

// Virtual-key codes and the Shift argument of a KeyDown event, as Windows and VB give them.
inline constexpr int kKeyEscape = 0x1B;
inline constexpr int kKeyF1 = 0x70;
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

}  // namespace vendaro

#pragma once
// The state of the windows' controls. A view creates one window control per member, draws
// exactly this state after every event and forwards the control's events to the model.
#include <string>
#include <vector>

namespace vendaro {

// Character codes of KeyPress events and virtual-key codes of KeyDown events.
inline constexpr int kKeyAsciiBackspace = 8;
inline constexpr int kKeyAsciiEscape = 27;
inline constexpr int kKeyCodeDelete = 0x2E;

// The background of a text field: button face while disabled, window colour while enabled.
enum class FieldBackground { Window, ButtonFace };

struct TextBox {
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool password = false;  // every character shown as "*"
    FieldBackground background() const {
        return enabled ? FieldBackground::Window : FieldBackground::ButtonFace;
    }
};

struct Label {
    std::string caption;
    bool enabled = true;
    bool visible = true;
};

// A numeric row's caption, "&Liveness timeout:" + blanks + "seconds", as the label before the
// field and the unit word after it: the text before the first run of two or more blanks, and
// the text after the run ("" when the caption has none).
struct UnitCaption {
    std::string label;
    std::string unit;
};
inline UnitCaption SplitUnitCaption(const std::string& caption) {
    const std::size_t run = caption.find("  ");
    if (run == std::string::npos) return {caption, ""};
    const std::size_t unit = caption.find_first_not_of(' ', run);
    return {caption.substr(0, run), unit == std::string::npos ? "" : caption.substr(unit)};
}

// Left, top, width, height in twips (1/1440 inch).
struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Twips&) const = default;
};

struct Button {
    std::string caption;  // with its access-key "&"
    bool enabled = true;
    bool visible = true;
    std::string tool_tip{};  // "": none
    Twips position{};        // where the window places it; the editors' views place their own
};

struct CheckBox {
    std::string caption;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
};

struct OptionButton {
    std::string caption;
    bool selected = false;
    bool enabled = true;
    bool visible = true;
};

// A frame (group box) or a separator line: a caption only.
struct Frame {
    std::string caption;
    bool visible = true;
};

// A drop-down list: the items and the one shown (-1: none).
struct ComboBox {
    std::vector<std::string> items;
    int selected = -1;
    bool enabled = true;
    bool visible = true;
    std::string text() const {
        return selected >= 0 && selected < static_cast<int>(items.size()) ? items[selected]
                                                                          : std::string();
    }
};

struct ListBox {
    std::vector<std::string> items;
    int selected = -1;  // -1: no row selected
    bool enabled = true;
    bool visible = true;
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

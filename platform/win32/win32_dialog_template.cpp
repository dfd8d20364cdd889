#include "platform/win32/win32_dialog_template.h"

#include <cstring>

namespace vendaro::win32 {
namespace {

constexpr std::size_t kWordsPerDword = 2;

template <typename T>
void AppendRaw(std::vector<WORD>& words, const T& value) {
    static_assert(sizeof(T) % sizeof(WORD) == 0);
    WORD raw[sizeof(T) / sizeof(WORD)];
    std::memcpy(raw, &value, sizeof raw);
    words.insert(words.end(), std::begin(raw), std::end(raw));
}

}  // namespace

DialogTemplate::DialogTemplate(DWORD style, short x, short y, short cx, short cy,
                               short point_size) {
    DLGTEMPLATE header{};
    header.style = style | DS_SETFONT;
    header.x = x;
    header.y = y;
    header.cx = cx;
    header.cy = cy;
    AppendRaw(words_, header);
    count_offset_ = offsetof(DLGTEMPLATE, cdit) / sizeof(WORD);
    AddWord(0);  // no menu
    AddWord(0);  // the standard dialog class
    AddWord(0);  // no caption: the caller sets it in ANSI
    AddWord(static_cast<WORD>(point_size));
    AddString("MS Shell Dlg");
}

void DialogTemplate::AddString(const std::string& text) {
    // Plain ASCII texts only go into templates; the real texts are set with the ANSI calls.
    for (unsigned char c : text) AddWord(c);
    AddWord(0);
}

void DialogTemplate::AlignToDword() {
    while (words_.size() % kWordsPerDword != 0) AddWord(0);
}

void DialogTemplate::AddControl(ControlClass kind, WORD id, DWORD style, short x, short y, short cx,
                                short cy, const std::string& text) {
    AlignToDword();
    DLGITEMTEMPLATE item{};
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = id;
    AppendRaw(words_, item);
    AddWord(0xFFFF);
    AddWord(static_cast<WORD>(kind));
    AddString(text);
    AddWord(0);  // no creation data
    ++words_[count_offset_];
}

const DLGTEMPLATE* DialogTemplate::get() const {
    return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
}

}  // namespace vendaro::win32

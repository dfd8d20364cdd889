#pragma once
// Builds a dialog template in memory (DLGTEMPLATE and its items), so that a dialog needs no
// resource in the executable. Positions are in dialog units.
#include "platform/win32/windows_api.h"

#include <string>
#include <vector>

namespace vendaro::win32 {

enum class ControlClass : WORD { Button = 0x0080, Edit = 0x0081, Static = 0x0082 };

class DialogTemplate {
  public:
    // `style` gets DS_SETFONT added; the font is the shell's dialog font at `point_size`.
    DialogTemplate(DWORD style, short x, short y, short cx, short cy, short point_size = 8);

    void AddControl(ControlClass kind, WORD id, DWORD style, short x, short y, short cx, short cy,
                    const std::string& text = {});

    // The template, valid while this object lives and is not changed.
    const DLGTEMPLATE* get() const;

  private:
    void AddWord(WORD word) { words_.push_back(word); }
    void AddString(const std::string& text);
    void AlignToDword();

    std::vector<WORD> words_;
    std::size_t count_offset_ = 0;
};

}  // namespace vendaro::win32

#include "mainwin/frm_about.h"

namespace vendaro {

bool FrmAbout::Form_KeyDown(int key_code, int) {
    if (key_code != kKeyEscape) return false;
    closed_ = true;
    return true;
}

}  // namespace vendaro

#include "editors/modal_form.h"

namespace vendaro {
namespace {
constexpr const char* kTitle = "Vendaro!";
}

bool ModalForm::Form_KeyPress(int key_ascii) {
    if (key_ascii != kKeyAsciiEscape || closed()) return false;
    Close(CloseReason::Escaped);
    return true;
}

void ModalForm::Form_Unload() {
    Close(CloseReason::CloseBox);
}

void ModalForm::Close(CloseReason reason) {
    if (closed()) return;
    close_reason_ = reason;
    OnClosing();
}

void ModalForm::MoveFocus(const char* control) {
    if (!loading_) focus_request = control;
}

bool ModalForm::AskYesNo(const std::string& question) {
    MessageBoxRequest request;
    request.owner = context_.window;
    request.text = question;
    request.title = kTitle;
    request.buttons = MsgButtons::YesNo;
    request.icon = MsgIcon::Question;
    return context_.platform.dialogs.MessageBox(request) == MsgAnswer::Yes;
}

void ModalForm::Refuse(const std::string& text) {
    MessageBoxRequest request;
    request.owner = context_.window;
    request.text = text;
    request.title = kTitle;
    request.buttons = MsgButtons::Ok;
    request.icon = MsgIcon::Exclamation;
    context_.platform.dialogs.MessageBox(request);
}

}  // namespace vendaro

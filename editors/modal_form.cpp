#include "editors/modal_form.h"

#include "forms/messages.h"
#include "platform/failure.h"

namespace vendaro {
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
    return AskQuestion(context_.platform.dialogs, context_.window, question);
}

void ModalForm::Refuse(const std::string& text) {
    ShowRefusal(context_.platform.dialogs, context_.window, WithReason(text, TakeFailure()));
}

}  // namespace vendaro

#include "forms/messages.h"

namespace vendaro {

void ShowRefusal(Dialogs& dialogs, WindowHandle owner, const std::string& text) {
    MessageBoxRequest request;
    request.owner = owner;
    request.text = text;
    request.title = kMessageTitle;
    request.buttons = MsgButtons::Ok;
    request.icon = MsgIcon::Exclamation;
    dialogs.MessageBox(request);
}

bool AskQuestion(Dialogs& dialogs, WindowHandle owner, const std::string& question,
                 MsgDefault default_button) {
    MessageBoxRequest request;
    request.owner = owner;
    request.text = question;
    request.title = kMessageTitle;
    request.buttons = MsgButtons::YesNo;
    request.icon = MsgIcon::Question;
    request.default_button = default_button;
    return dialogs.MessageBox(request) == MsgAnswer::Yes;
}

}  // namespace vendaro

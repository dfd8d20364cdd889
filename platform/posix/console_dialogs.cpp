#include "platform/posix/console_dialogs.h"

namespace vendaro {

MsgAnswer ConsoleDialogs::MessageBox(const MessageBoxRequest& request) {
    out_ << request.title << ": " << request.text << "\n";
    return request.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
}

std::string ConsoleDialogs::InputBox(WindowHandle, const std::string& prompt,
                                     const std::string& title) {
    out_ << title << ": " << prompt << " (cancelled: no window)\n";
    return {};
}

bool ConsoleDialogs::OpenFile(const OpenFileRequest& request, std::string&) {
    out_ << request.title << " (cancelled: no window)\n";
    return false;
}

bool ConsoleDialogs::BrowseFolder(WindowHandle, const std::string& title, const std::string&,
                                  std::string&) {
    out_ << title << " (cancelled: no window)\n";
    return false;
}

void ConsoleDialogs::SetBusy(bool) {}

bool ConsoleDialogs::Launch(const std::string& command_line) {
    out_ << "not started (no window): " << command_line << "\n";
    return false;
}

}  // namespace vendaro

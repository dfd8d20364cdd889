#pragma once
// Dialogs of a program without windows: each says on its stream what it would have asked,
// and answers No / Cancel.
#include <ostream>
#include <string>

#include "platform/dialogs.h"

namespace vendaro {

class ConsoleDialogs final : public Dialogs {
  public:
    // `out`: where the texts go: standard error in the program, unbuffered, so each is seen
    // before the program goes on.
    explicit ConsoleDialogs(std::ostream& out) : out_(out) {}
    // Prints "title: text"; answers No to a question, OK otherwise.
    MsgAnswer MessageBox(const MessageBoxRequest& request) override;
    // Prints the prompt; answers Cancel ("").
    std::string InputBox(WindowHandle owner, const std::string& prompt,
                         const std::string& title) override;
    // Prints the title; answers Cancel.
    bool OpenFile(const OpenFileRequest& request, std::string& file_buffer) override;
    // Prints the title; answers Cancel.
    bool BrowseFolder(WindowHandle owner, const std::string& title, const std::string& start_folder,
                      std::string& folder) override;
    // No pointer to change.
    void SetBusy(bool busy) override;
    // Prints the command; starts nothing and returns false.
    bool Launch(const std::string& command_line) override;

  private:
    std::ostream& out_;
};

}  // namespace vendaro

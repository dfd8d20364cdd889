#pragma once
// The program's message boxes, every one titled "Vendaro!".
#include <string>

#include "platform/dialogs.h"

namespace vendaro {

inline constexpr const char* kMessageTitle = "Vendaro!";

// Shows `text` with OK and the exclamation icon over `owner`.
void ShowRefusal(Dialogs& dialogs, WindowHandle owner, const std::string& text);

// Asks `question` with Yes and No and the question icon over `owner`. Returns true for Yes.
bool AskQuestion(Dialogs& dialogs, WindowHandle owner, const std::string& question,
                 MsgDefault default_button = MsgDefault::First);

}  // namespace vendaro

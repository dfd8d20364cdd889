#pragma once
// Where the running program lives.
#include <string>

namespace vendaro {

// The full path of the running executable, or "" when the system cannot tell.
std::string ProgramPath();

}  // namespace vendaro

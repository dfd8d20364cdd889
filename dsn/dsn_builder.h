#pragma once
// Turns the selected script into the write list of its User or System DSN.
#include <string>

#include "dsn/dsn_command.h"
#include "dsn/write_list.h"
#include "store/script_store.h"

namespace vendaro {

// "DSN=" + name + one NUL.
std::string AttributeString(const std::string& name);

// The whole write list of `request`, in the order it is to be performed, ending with the
// installer step when the command has one. `raw_system_directory` is the installer's
// SystemDirectory() text; the script's keys are read from section `request.name` of the
// store's script file. Never fails: missing keys read as their defaults.
WriteList BuildWriteList(const DsnRequest& request, const std::string& raw_system_directory,
                         ScriptStore& store);
// The same into `list`, whose room is kept: for a caller that builds many lists in turn.
void BuildWriteList(const DsnRequest& request, const std::string& raw_system_directory,
                    ScriptStore& store, WriteList& list);

}  // namespace vendaro

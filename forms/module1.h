#pragma once
// The fields the main window and the script editors hand over to each other. Only one editor
// is open at a time, so one set serves the whole program.
#include <cstdint>
#include <string>

namespace vendaro {

enum : std::uint8_t { kScriptModeAdd = 1, kScriptModeEdit = 2 };

struct Module1 {
    std::uint8_t ScriptMode = 0;    // kScriptModeAdd / kScriptModeEdit
    std::string EditDsnName;        // the script Edit opened
    std::int16_t EditRowIndex = 0;  // its row in lvwMain, counted from 1
    bool ScriptDirty = false;       // a field changed since the editor finished loading
    bool ScriptSaved = false;       // the open editor has saved its script
    std::string NewDsnName;         // the script just saved: its trimmed name,
    std::string NewDescription;     //   its trimmed description
    std::string NewDriver;          //   and its driver name
};

}  // namespace vendaro

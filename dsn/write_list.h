#pragma once
// The write list: the ordered registry, profile and installer operations that create one DSN.
// Kept as plain data so what a script turns into can be checked without touching a registry.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/installer.h"
#include "platform/registry.h"

namespace vendaro {

// Creates or opens root\path; the key becomes the current key.
struct CreateKeyOp {
    RegRoot root = RegRoot::CurrentUser;
    std::string path;
    bool operator==(const CreateKeyOp&) const = default;
};

enum class ValueKind {
    String,    // REG_SZ
    Number,    // REG_DWORD
    FlagByte,  // type 0, one byte
};

// One value on the current key. `text` is the data of a String; `number` that of a Number,
// or 0 / 1 for a FlagByte.
struct SetValueOp {
    std::string name;
    ValueKind kind = ValueKind::String;
    std::string text;
    std::int32_t number = 0;
    bool operator==(const SetValueOp&) const = default;
};

// Closes the current key.
struct CloseKeyOp {
    bool operator==(const CloseKeyOp&) const = default;
};

// key = value in section of an explicitly named profile file.
struct WriteProfileOp {
    std::string file;
    std::string section;
    std::string key;
    std::string value;
    bool operator==(const WriteProfileOp&) const = default;
};

// SQLConfigDataSource. `attributes` holds its terminating NUL ("DSN=Sales" + '\0').
struct ConfigureDataSourceOp {
    WindowHandle window = 0;  // 0: no parent window
    int request = ODBC_ADD_DSN_REQUEST;
    std::string driver;
    std::string attributes;
    bool operator==(const ConfigureDataSourceOp&) const = default;
};

using WriteOp =
    std::variant<CreateKeyOp, SetValueOp, CloseKeyOp, WriteProfileOp, ConfigureDataSourceOp>;
using WriteList = std::vector<WriteOp>;

// Value constructors that keep the lists readable.
SetValueOp StringValue(std::string name, std::string text);
SetValueOp NumberValue(std::string name, std::int32_t number);

}  // namespace vendaro

#include "dsn/write_list.h"

#include <utility>

namespace vendaro {
namespace {

std::string Visible(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\0') {
            out += "\\0";
        } else {
            out += c;
        }
    }
    return out;
}

const char* RootName(RegRoot root) {
    switch (root) {
        case RegRoot::CurrentUser:
            return "HKEY_CURRENT_USER";
        case RegRoot::LocalMachine:
            return "HKEY_LOCAL_MACHINE";
    }
    return "?";
}

struct Describer {
    std::string operator()(const CreateKeyOp& op) const {
        return std::string("create key ") + RootName(op.root) + " " + op.path;
    }
    std::string operator()(const SetValueOp& op) const {
        switch (op.kind) {
            case ValueKind::String:
                return "set string " + op.name + " = \"" + Visible(op.text) + "\"";
            case ValueKind::Number:
                return "set number " + op.name + " = " + std::to_string(op.number);
            case ValueKind::FlagByte:
                return "set flag byte " + op.name + " = " + std::to_string(op.number);
        }
        return "set ?";
    }
    std::string operator()(const CloseKeyOp&) const { return "close key"; }
    std::string operator()(const WriteProfileOp& op) const {
        return "write profile " + op.file + " [" + op.section + "] " + op.key + " = \"" + op.value +
               "\"";
    }
    std::string operator()(const ConfigureDataSourceOp& op) const {
        return "configure data source window " + std::to_string(op.window) + " request " +
               std::to_string(op.request) + " " + op.driver + " \"" + Visible(op.attributes) + "\"";
    }
};

}  // namespace

SetValueOp StringValue(std::string name, std::string text) {
    return SetValueOp{std::move(name), ValueKind::String, std::move(text), 0};
}

SetValueOp NumberValue(std::string name, std::int32_t number) {
    return SetValueOp{std::move(name), ValueKind::Number, {}, number};
}

SetValueOp FlagByteValue(std::string name, std::uint8_t flag) {
    return SetValueOp{std::move(name), ValueKind::FlagByte, {}, flag};
}

std::string Describe(const WriteOp& op) {
    return std::visit(Describer{}, op);
}

}  // namespace vendaro

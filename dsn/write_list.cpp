#include "dsn/write_list.h"

#include <utility>

namespace vendaro {

SetValueOp StringValue(std::string name, std::string text) {
    return SetValueOp{std::move(name), ValueKind::String, std::move(text), 0};
}

SetValueOp NumberValue(std::string name, std::int32_t number) {
    return SetValueOp{std::move(name), ValueKind::Number, {}, number};
}

}  // namespace vendaro

#pragma once
// One change of a key in a series of writes to one section (an editor's Save).
#include <string_view>

namespace vendaro {

struct KeyEdit {
    std::string_view key;
    std::string_view value;  // the new value; not used when `remove` is set
    bool remove = false;     // removes the key instead of setting it
};

}  // namespace vendaro

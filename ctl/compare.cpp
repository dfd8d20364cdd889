#include "ctl/compare.h"

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <variant>

#include "platform/failure.h"
#include "platform/ini_text.h"

namespace vendaro::ctl {
namespace {

// Views into the write list, which outlives them: a key's values are values[first, end) of
// the regrouped list.
struct ExpectedKey {
    RegRoot root = RegRoot::CurrentUser;
    const std::string* path = nullptr;
    std::size_t first = 0, end = 0;
};

// The write list regrouped: its keys with their values, and its profile entries.
struct Expected {
    std::vector<ExpectedKey> keys;
    std::vector<const WriteProfileOp*> entries;
};

Expected Regroup(const WriteList& list, std::vector<const SetValueOp*>& values) {
    Expected expected;
    values.clear();
    values.reserve(list.size());
    expected.keys.reserve(4);
    ExpectedKey* current = nullptr;
    // The NameBits of the current key's names.
    std::uint64_t seen_names = 0;
    for (const WriteOp& op : list) {
        if (const auto* create = std::get_if<CreateKeyOp>(&op)) {
            expected.keys.push_back(
                ExpectedKey{create->root, &create->path, values.size(), values.size()});
            current = &expected.keys.back();
            seen_names = 0;
        } else if (const auto* set = std::get_if<SetValueOp>(&op)) {
            if (current == nullptr) continue;
            const std::string& name = set->name;
            const std::uint64_t bit = ini::NameBit(name);
            // A later write of the same name wins, as in the registry.
            bool replaced = false;
            if ((seen_names & bit) != 0) {
                for (std::size_t i = current->first; i < current->end; ++i) {
                    if (ini::NamesEqual(values[i]->name, name)) values[i] = set, replaced = true;
                }
            }
            seen_names |= bit;
            if (!replaced) values.push_back(set), current->end = values.size();
        } else if (std::holds_alternative<CloseKeyOp>(op)) {
            current = nullptr;
        } else if (const auto* entry = std::get_if<WriteProfileOp>(&op)) {
            expected.entries.push_back(entry);
        }
    }
    return expected;
}

std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) out += ',';
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out += digits[byte >> 4];
        out += digits[byte & 15];
    }
    return out;
}

// A held value as text, with its kind's word.
struct FoundText {
    std::string text;
    std::string kind;
    std::optional<ValueKind> as;  // the write list's kind it is, if any
};

FoundText Describe(const RegValueView& value) {
    if (!value.typed) return {std::string(value.data), "text", std::nullopt};
    const std::string_view data = value.data;
    switch (value.type) {
        case kRegString:
        case kRegExpandString: {
            const std::string text(data.substr(0, data.find('\0')));
            if (value.type == kRegString) return {text, "string", ValueKind::String};
            return {text, "expandable string", std::nullopt};
        }
        case kRegDword:
            if (data.size() == 4) {
                std::uint32_t number = 0;
                for (int i = 3; i >= 0; --i) {
                    number = (number << 8) | static_cast<unsigned char>(data[i]);
                }
                return {std::to_string(static_cast<std::int32_t>(number)), "number",
                        ValueKind::Number};
            }
            break;
        case kRegNone:
            if (data.size() == 1) {
                return {std::to_string(static_cast<unsigned char>(data[0])), "flag byte",
                        ValueKind::FlagByte};
            }
            break;
        default:
            break;
    }
    return {Hex(data), "type " + std::to_string(value.type), std::nullopt};
}

// Whether a held value is what the list writes; a text-only store holds the text vendaro
// writes (numbers in decimal, flags as 0 or 1).
bool Matches(const RegValueView& held, const SetValueOp& value) {
    if (!held.typed) {
        return value.kind == ValueKind::String ? held.data == value.text
                                               : held.data == std::to_string(value.number);
    }
    const FoundText text = Describe(held);
    return text.as == value.kind && text.text == ExpectedText(value);
}

ValueDiff Row(const std::string& where, const std::string& name, Problem problem) {
    ValueDiff row;
    row.where = where;
    row.name = name;
    row.problem = problem;
    row.secret = IsSecret(name);
    return row;
}

void Hide(ValueDiff& row) {
    if (!row.secret) return;
    if (!row.expected_kind.empty()) row.expected = kHidden;
    if (!row.found_kind.empty()) row.found = kHidden;
}

// Whether `path` is the data source's key or one of its subkeys.
bool Within(const std::string& path, const std::string& top) {
    return ini::NamesEqual(path, top) ||
           (path.size() > top.size() && path[top.size()] == '\\' &&
            ini::NamesEqual(std::string_view(path).substr(0, top.size()), top));
}

}  // namespace

std::string ExpectedText(const SetValueOp& value) {
    if (value.kind == ValueKind::String) return value.text;
    return std::to_string(value.number);
}

const char* KindName(ValueKind kind) {
    switch (kind) {
        case ValueKind::String:
            return "string";
        case ValueKind::Number:
            return "number";
        case ValueKind::FlagByte:
            return "flag byte";
    }
    return "string";
}

bool IsSecret(const std::string& value_name) {
    return ini::NamesEqual(value_name, "PWD");
}

const char* ProblemWord(Problem problem) {
    switch (problem) {
        case Problem::Missing:
            return "missing";
        case Problem::Different:
            return "different";
        case Problem::KindDiffers:
            return "kind differs";
        case Problem::Extra:
            return "extra";
    }
    return "";
}

const char* StateWord(State state) {
    switch (state) {
        case State::Absent:
            return "absent";
        case State::InSync:
            return "in sync";
        case State::Drifted:
            return "drifted";
        case State::Unreadable:
            return "unreadable";
    }
    return "";
}

Comparison Compare(const WriteList& list, Platform& platform) {
    return Comparer().Compare(list, platform);
}

void Comparer::CompareKey(const std::string& path, bool own,
                          std::span<const SetValueOp* const> key_values, Comparison& result) {
    const std::span<const RegValueView> found(found_);
    matched_.assign(found.size(), 0);
    std::vector<char>& matched = matched_;
    // A store holds a key's names once each and mostly in the order they were written, so
    // the search for each name starts after the last one found.
    std::size_t from = 0;
    for (const SetValueOp* expected_value : key_values) {
        const SetValueOp& value = *expected_value;
        const RegValueView* held = nullptr;
        for (std::size_t n = 0; n < found.size() && held == nullptr; ++n) {
            const std::size_t i = from + n < found.size() ? from + n : from + n - found.size();
            if (ini::NamesEqual(found[i].name, value.name)) {
                held = &found[i], matched[i] = 1, from = i + 1;
            }
        }
        if (held != nullptr && Matches(*held, value)) continue;
        ValueDiff row = Row(path, value.name, Problem::Missing);
        row.expected = ExpectedText(value);
        row.expected_kind = KindName(value.kind);
        if (held != nullptr) {
            const FoundText text = Describe(*held);
            row.found = text.text;
            row.found_kind = text.kind;
            if (held->typed && text.as != value.kind) {
                row.problem = Problem::KindDiffers;
            } else if (text.text != row.expected) {
                row.problem = Problem::Different;
            } else {
                continue;
            }
        }
        Hide(row);
        result.differences.push_back(std::move(row));
    }
    if (!own) return;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (matched[i]) continue;
        ValueDiff row = Row(path, std::string(found[i].name), Problem::Extra);
        const FoundText text = Describe(found[i]);
        row.found = text.text;
        row.found_kind = text.kind;
        Hide(row);
        result.extras.push_back(std::move(row));
    }
}

Comparison Comparer::Compare(const WriteList& list, Platform& platform) {
    Comparison result;
    const Expected expected = Regroup(list, values_);
    if (expected.keys.empty()) return result;
    const std::string& top = *expected.keys.front().path;
    Registry& registry = platform.registry;
    bool present = false;
    auto unreadable = [&]() {
        result.state = State::Unreadable;
        result.error = TakeFailure();
        if (result.error.empty()) result.error = "The data source could not be read.";
        return result;
    };

    for (std::size_t k = 0; k < expected.keys.size(); ++k) {
        const ExpectedKey& key = expected.keys[k];
        const std::string& path = *key.path;
        const std::span<const SetValueOp* const> key_values(values_.data() + key.first,
                                                            key.end - key.first);
        // The data source's own keys are read whole, for their extra values; of a shared key
        // (the list of data sources) only the values the list writes are read.
        const bool own = Within(path, top);
        names_.clear();
        if (!own) {
            for (const SetValueOp* value : key_values) names_.push_back(value->name);
        }
        const RegRead read = registry.ReadKeyValues(key.root, path, room_, found_, names_);
        if (read == RegRead::Failed) return unreadable();
        if (read == RegRead::Missing) found_.clear();
        if (k == 0) present = read == RegRead::Found;
        CompareKey(path, own, key_values, result);
    }

    // The Windows directory's ODBC.INI, one reading per file.
    std::map<std::string, std::optional<std::string>> files;
    for (const WriteProfileOp* entry_op : expected.entries) {
        const WriteProfileOp& entry = *entry_op;
        if (!platform.legacy_odbc_ini) break;
        auto file = files.find(entry.file);
        if (file == files.end()) {
            file = files.emplace(entry.file, platform.profile.ReadAll(entry.file)).first;
        }
        std::optional<std::string> held;
        if (file->second) held = ini::Document(*file->second).Get(entry.section, entry.key);
        ValueDiff row = Row(entry.file + " [" + entry.section + "]", entry.key, Problem::Missing);
        row.expected = entry.value;
        row.expected_kind = "string";
        if (held) {
            if (*held == entry.value) continue;
            row.problem = Problem::Different;
            row.found = *held;
            row.found_kind = "string";
        }
        Hide(row);
        result.differences.push_back(std::move(row));
    }

    if (!present) {
        result.state = State::Absent;
    } else {
        result.state = result.differences.empty() ? State::InSync : State::Drifted;
    }
    return result;
}

}  // namespace vendaro::ctl

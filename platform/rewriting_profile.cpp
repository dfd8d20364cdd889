#include "platform/rewriting_profile.h"

namespace vendaro {
namespace {

// A file that is the same after the edit is not written; nor is a missing file left empty.
std::optional<std::string> Changed(const std::string* old, std::string text) {
    if (old != nullptr ? text == *old : text.empty()) return std::nullopt;
    return text;
}

}  // namespace

bool RewritingProfile::SetString(std::string_view section, std::string_view key,
                                 std::string_view value, const std::string& path) {
    if (HoldsLineBreakOrNul(section) || HoldsLineBreakOrNul(key) || HoldsLineBreakOrNul(value)) {
        return RefuseLineBreak(path, kLineBreakRefused);
    }
    return Modify(path, [&](const std::string* old) {
        ini::Document doc(old ? *old : std::string());
        doc.set_line_end(LineEndFor(old));
        return Changed(old, doc.WithValue(section, key, value));
    });
}

bool RewritingProfile::DeleteKey(std::string_view section, std::string_view key,
                                 const std::string& path) {
    if (HoldsLineBreakOrNul(section) || HoldsLineBreakOrNul(key)) {
        return RefuseLineBreak(path, kLineBreakRefused);
    }
    return Modify(path, [&](const std::string* old) -> std::optional<std::string> {
        if (old == nullptr) return std::nullopt;  // removing from a missing file creates none
        return Changed(old, ini::Document(*old).WithoutKey(section, key));
    });
}

bool RewritingProfile::DeleteSection(std::string_view section, const std::string& path) {
    if (HoldsLineBreakOrNul(section)) return RefuseLineBreak(path, kLineBreakRefused);
    return Modify(path, [&](const std::string* old) -> std::optional<std::string> {
        if (old == nullptr) return std::nullopt;
        return Changed(old, ini::Document(*old).WithoutSection(section));
    });
}

std::size_t RewritingProfile::WriteKeys(std::string_view section, std::span<const KeyEdit> edits,
                                        const std::string& path) {
    const std::size_t valid = WritableEdits(section, edits);
    const std::span<const KeyEdit> made = edits.first(valid);
    if (!made.empty() && !Modify(path, [&](const std::string* old) {
            ini::Document doc(old ? *old : std::string());
            doc.set_line_end(LineEndFor(old));
            return Changed(old, doc.WithKeyEdits(section, made));
        })) {
        return 0;
    }
    if (valid < edits.size()) RefuseLineBreak(path, kLineBreakStopped);
    return valid;
}

bool RewritingProfile::WriteKeysAndRemoveSection(std::string_view section,
                                                 std::span<const KeyEdit> edits,
                                                 std::string_view removed,
                                                 const std::string& path) {
    if (WritableEdits(section, edits) < edits.size() || HoldsLineBreakOrNul(removed)) {
        return RefuseLineBreak(path, kLineBreakRefused);
    }
    return Modify(path, [&](const std::string* old) {
        ini::Document doc(old ? *old : std::string());
        doc.set_line_end(LineEndFor(old));
        return Changed(old,
                       ini::Document(doc.WithKeyEdits(section, edits)).WithoutSection(removed));
    });
}

bool RewritingProfile::Append(const std::string& path, std::string_view bytes) {
    return Modify(path, [&](const std::string* old) -> std::optional<std::string> {
        if (bytes.empty()) return std::nullopt;
        std::string text = old ? *old : std::string();
        text.append(bytes);
        return text;
    });
}

}  // namespace vendaro

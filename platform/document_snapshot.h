#pragma once
// A profile's reads from one parse of a file, which nobody changes: the parse cache hands out
// parses that it replaces, never modifies.
#include <cstdint>
#include <memory>
#include <utility>

#include "platform/ini_text.h"
#include "platform/profile.h"

namespace vendaro {

// A read as Profile::GetString answers it from one parse (null for a missing file). `likely`:
// the index of the section the caller expects `section` to name, if it knows one.
inline std::string ValueOrDefault(const ini::Document* doc, std::string_view section,
                                  std::string_view key, std::string_view def,
                                  std::size_t likely = SIZE_MAX) {
    if (doc != nullptr) {
        if (std::optional<std::string> value = doc->Get(section, key, likely)) {
            return std::move(*value);
        }
    }
    return ini::DefaultValue(def);
}

class DocumentSnapshot : public ProfileSnapshot {
  public:
    explicit DocumentSnapshot(std::shared_ptr<const ini::Document> doc) : doc_(std::move(doc)) {}
    std::optional<std::string_view> Bytes() const override {
        if (!doc_) return std::nullopt;
        return std::string_view(doc_->bytes());
    }
    // Every such line is a header of the parse: no second pass over the lines.
    void ForEachBracketLine(const std::function<void(std::string_view)>& fn) const override {
        if (!doc_) return;
        for (std::size_t i = 0; i < doc_->SectionCount(); ++i) {
            const std::string_view line = doc_->HeaderLine(i);
            if (line.empty() || line.front() != '[') continue;
            visiting_ = i;
            fn(line);
        }
        visiting_ = SIZE_MAX;
    }
    // A read made while `fn` above runs most likely asks for the section being visited.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) const override {
        return ValueOrDefault(doc_.get(), section, key, def, visiting_);
    }
    ini::SectionKeys KeysOf(std::string_view section) const override {
        return doc_ ? doc_->KeysOf(section) : ini::SectionKeys();
    }

  private:
    std::shared_ptr<const ini::Document> doc_;
    mutable std::size_t visiting_ = SIZE_MAX;
};

}  // namespace vendaro

#pragma once
// How the write-list builders read a script: each key of the script's section turned into the
// registry value it becomes, appended to the list being built.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "dsn/dsn_command.h"
#include "dsn/write_list.h"
#include "store/script_store.h"

namespace vendaro {

class ScriptValues {
  public:
    // `key_path`: the DSN's key under `root`; `system_dir`: the system directory as the Jet
    // driver's path uses it. The list is written from its start over what it held (a check
    // builds a list for every data source into one list, whose strings keep their room); Finish
    // drops what is left of the old one.
    ScriptValues(WriteList& list, ScriptStore& store, const DsnRequest& request, RegRoot root,
                 std::string key_path, std::string system_dir)
        : request(request),
          root(root),
          key_path(std::move(key_path)),
          system_dir(std::move(system_dir)),
          list_(list),
          script_(store.ReadSection(request.name)) {}

    // The script's key, `def` when missing; valid until the next Key.
    std::string_view Key(const char* key, const char* def = "") { return script_.Read(key, def); }

    void CreateKey(RegRoot key_root, std::string_view path) {
        CreateKeyOp& op = Next<CreateKeyOp>();
        op.root = key_root;
        op.path.assign(path);
    }
    void CloseKey() { Next<CloseKeyOp>(); }
    void ProfileEntry(std::string_view file, std::string_view section, std::string_view key,
                      std::string_view value) {
        WriteProfileOp& op = Next<WriteProfileOp>();
        op.file.assign(file);
        op.section.assign(section);
        op.key.assign(key);
        op.value.assign(value);
    }
    void Configure(WindowHandle window, int request_code, std::string_view driver,
                   std::string_view attributes) {
        ConfigureDataSourceOp& op = Next<ConfigureDataSourceOp>();
        op.window = window;
        op.request = request_code;
        op.driver.assign(driver);
        op.attributes.assign(attributes);
    }
    void String(std::string_view name, std::string_view text) {
        Value(name, ValueKind::String, 0).text.assign(text);
    }
    void StringOfKey(const char* name) { String(name, Key(name)); }
    void Number(const char* name, std::int32_t number) { Value(name, ValueKind::Number, number); }
    void NumberOfKeyNamed(const char* name, const char* def = "");
    void Flag(const char* name);
    void InvertedFlag(const char* name);
    // The script's enciphered key, deciphered.
    void Password(const char* name);
    // Ends the list after the last value written.
    void Finish() { list_.resize(used_); }

    const DsnRequest& request;
    const RegRoot root;
    const std::string key_path;
    const std::string system_dir;

  private:
    // The next entry of the list as an `Op`: the old list's entry there when it is one, its
    // strings then assigned over rather than made anew.
    template <typename Op>
    Op& Next() {
        if (used_ == list_.size()) {
            list_.emplace_back(std::in_place_type<Op>);
        } else if (!std::holds_alternative<Op>(list_[used_])) {
            list_[used_].template emplace<Op>();
        }
        return std::get<Op>(list_[used_++]);
    }
    SetValueOp& Value(std::string_view name, ValueKind kind, std::int32_t number) {
        SetValueOp& op = Next<SetValueOp>();
        op.name.assign(name);
        op.kind = kind;
        op.text.clear();
        op.number = number;
        return op;
    }

    WriteList& list_;
    std::size_t used_ = 0;
    ScriptStore::SectionReader script_;  // the script's section, read once for all its keys
};

}  // namespace vendaro

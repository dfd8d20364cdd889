#pragma once
// How the write-list builders read a script: each key of the script's section turned into the
// registry value it becomes, appended to the list being built.
#include <cstdint>
#include <string>
#include <utility>

#include "dsn/dsn_command.h"
#include "dsn/write_list.h"
#include "store/script_store.h"

namespace vendaro {

class ScriptValues {
  public:
    // `key_path`: the DSN's key under `root`; `system_dir`: the system directory as the Jet
    // driver's path uses it.
    ScriptValues(WriteList& list, ScriptStore& store, const DsnRequest& request, RegRoot root,
                 std::string key_path, std::string system_dir)
        : request(request),
          root(root),
          key_path(std::move(key_path)),
          system_dir(std::move(system_dir)),
          list_(list),
          script_(store.ReadSection(request.name)) {}

    // The script's key, `def` when missing.
    std::string Key(const char* key, const char* def = "") { return script_.Read(key, def); }

    void Add(WriteOp op) { list_.push_back(std::move(op)); }
    // Made in its place in the list: a list is built for every data source a check compares.
    void String(std::string name, std::string text) {
        list_.emplace_back(std::in_place_type<SetValueOp>, std::move(name), ValueKind::String,
                           std::move(text), 0);
    }
    void StringOfKey(const char* name) { String(name, Key(name)); }
    void Number(const char* name, std::int32_t number) { Add(NumberValue(name, number)); }
    void NumberOfKeyNamed(const char* name, const char* def = "");
    void Flag(const char* name);
    void InvertedFlag(const char* name);
    // The script's enciphered key, deciphered.
    void Password(const char* name);

    const DsnRequest& request;
    const RegRoot root;
    const std::string key_path;
    const std::string system_dir;

  private:
    WriteList& list_;
    ScriptStore::SectionReader script_;  // the script's section, read once for all its keys
};

}  // namespace vendaro

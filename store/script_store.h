#pragma once
// The script file vendaro.ini: one INI section per DSN script. Every operation opens, reads or
// rewrites and closes the file on its own; nothing is kept in memory but AppDir, IniFile and,
// for the length of one command, the reading its reads answer from (ReadOneVersion).
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/profile.h"

namespace vendaro {

struct ScriptRow {
    std::string name;         // the section name, as the header line spells it
    std::string description;  // its Description key
    std::string driver;       // its DSN_Driver key
};

// The keys of one script section in the order they are to be written; an empty value removes
// the key.
class SectionKeys {
  public:
    void Write(std::string_view key, std::string_view value) { keys_.emplace_back(key, value); }
    std::span<const std::pair<std::string, std::string>> keys() const { return keys_; }

  private:
    std::vector<std::pair<std::string, std::string>> keys_;
};

enum class CopyResult {
    Copied,       // the new section was appended
    NoFile,       // vendaro.ini is missing or empty: nothing copied (the caller asks again)
    WriteFailed,  // the append failed: the file is as it was
};

class ScriptStore {
  public:
    class OneVersion;
    class SectionReader;

    // `program_dir`: the directory holding the running executable; `exe_name`: its file name
    // ("vendaro.exe"); `separator`: '\\' on Windows, '/' elsewhere.
    ScriptStore(Profile& profile, std::string program_dir, std::string exe_name, char separator);

    // The program's directory, always ending in the separator.
    const std::string& AppDir() const { return app_dir_; }
    // AppDir + "vendaro.ini": the file the listing and the section copy use.
    std::string ScriptFile() const { return app_dir_ + "vendaro.ini"; }
    // The file of the key-level operations: directory + executable stem + ".ini", worked out
    // at the first call and kept.
    const std::string& IniFile();

    // The key's value (at most 2047 characters) or `def`; reads `file`, or IniFile when empty.
    // Never fails.
    std::string ReadIniString(std::string_view section, std::string_view key,
                              std::string_view def = {}, const std::string& file = {});

    // Reads of many keys of IniFile's section `section`, each answered as ReadIniString would
    // answer it: within a OneVersion from one walk over the section's lines, otherwise key by
    // key. The reader is used before the OneVersion ends and before a write.
    SectionReader ReadSection(std::string_view section);

    // Sets the key; an empty value removes the key; an empty key removes the section.
    // Returns false on failure (then the file is unchanged); a section, key or value holding
    // CR, LF or NUL is refused that way, and so is setting a key whose section name holds "]"
    // or whose key name holds "=" or starts with "[" or ";", or whose section or key name begins
    // or ends with a tab or another blank the reader trims (it would not read back).
    bool WriteIniString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& file = {});

    // Writes `keys` to section `section` of IniFile in order, each as WriteIniString would
    // (an empty key is refused), as one change of the file where the profile can. Stops before
    // the first key that is refused or fails. Returns true when every key was written.
    bool WriteSection(std::string_view section, const SectionKeys& keys);

    // True when IniFile holds a section that the key-level operations address by `name` (as
    // they compare names: without regard to case, blanks trimmed).
    bool HasSection(std::string_view name);

    // A script's Save that may meet another section, as one change of IniFile where the profile
    // can (the file as it was, or with all of it made; never part):
    // - `moved_from` not empty (a section of another name): every key it holds is written to
    //   `section` first, and it is removed last;
    // - `replace`: every key `section` held that neither the moved keys nor `keys` write is
    //   removed, so nothing of the script it held stays;
    // then `keys` as WriteSection writes them. Writes nothing when any key would be refused.
    // Returns true when all of it was made.
    bool WriteScript(std::string_view section, const SectionKeys& keys, std::string_view moved_from,
                     bool replace);

    // True when the file exists and is longer than 0 bytes. Never fails.
    bool FileExists(const std::string& path) const;

    // Every header line of vendaro.ini in file order, with its Description and DSN_Driver
    // ("[" alone and "[]" name nothing and are passed over). Empty when the file is missing or
    // empty. The names and the keys come from one reading of the file when IniFile is that
    // file.
    std::vector<ScriptRow> ListScripts();

    // Appends a copy of section `source` named `new_name` (the Clone command): every line of
    // the section that reads of `source` find, byte for byte, up to its last key line (blank
    // and comment lines after it belong to what follows). A new name holding CR, LF, NUL or
    // "]" is refused as WriteFailed.
    CopyResult CopySection(std::string_view source, std::string_view new_name);

    // One reading of IniFile that every read of it answers from until the returned guard goes
    // (guards nest: the outermost one decides), so that a command (start-up, a DSN creation,
    // an editor's load or Save) never mixes two versions of a file that another program
    // replaces meanwhile. The reading is taken at the first read; after WriteSection the next
    // read takes a new one, so a Save reads what it wrote.
    [[nodiscard]] OneVersion ReadOneVersion();

  private:
    // The reading of IniFile the reads answer from; null outside a OneVersion.
    const ProfileSnapshot* Pinned();
    // After a write to IniFile: a pinned reading is taken again.
    void Wrote();
    // IniFile's bytes: the pinned reading's within a OneVersion, else the file's now.
    std::optional<std::string> ReadIniFile();

    Profile& profile_;
    std::string program_dir_;
    std::string exe_name_;
    char separator_;
    std::string app_dir_;
    std::string ini_file_;
    std::unique_ptr<ProfileSnapshot> pinned_;
    int pin_depth_ = 0;
};

class ScriptStore::OneVersion {
  public:
    explicit OneVersion(ScriptStore& store);
    ~OneVersion();
    OneVersion(const OneVersion&) = delete;
    OneVersion& operator=(const OneVersion&) = delete;

  private:
    ScriptStore& store_;
};

class ScriptStore::SectionReader {
  public:
    // The key's value (at most 2047 characters) or `def`, as ReadIniString(section, key, def);
    // valid until the next Read (a caller builds each value from it at once).
    std::string_view Read(std::string_view key, std::string_view def = {});

  private:
    friend class ScriptStore;
    SectionReader(ScriptStore& store, std::string_view section, ini::SectionKeys keys)
        : store_(store), section_(section), keys_(std::move(keys)) {}

    ScriptStore& store_;
    std::string section_;
    ini::SectionKeys keys_;   // the section's keys in the reading; a key not here is read alone
    std::string read_alone_;  // the last value not viewed in the reading
};

inline ScriptStore::OneVersion ScriptStore::ReadOneVersion() {
    return OneVersion(*this);
}

}  // namespace vendaro

#pragma once
// The registry of DSN creation on unixODBC: HKEY_CURRENT_USER is the user's odbc.ini
// ($ODBCINI, by default ~/.odbc.ini), HKEY_LOCAL_MACHINE the system's ($ODBCSYSINI/odbc.ini,
// by default /etc/odbc.ini). The key SOFTWARE\ODBC\ODBC.INI\X is the section [X]; a deeper key
// X\Engines\Jet keeps its values in [X] as "Engines\Jet\" + value name.
//
// odbc.ini is written as the script file is, through the project's INI engine and the POSIX
// profile: every line not written stays byte for byte, and the keys closed since the last Flush
// (a data source, its subkeys and its entry in [ODBC Data Sources]) go in as one atomic
// replacement of the file under its advisory lock. A file holding a line that unixODBC would
// read into another place than the engine is not written at all. unixODBC's own ini library would
// cut long lines, drop comments and rewrite the file in place. The lines written end as the file's
// first line does (LF in a new file), so an LF file stays an LF file.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/parse_cache.h"
#include "platform/posix/file_profile.h"
#include "platform/posix/posix_file_reader.h"
#include "platform/registry.h"

namespace vendaro {

// The longest line unixODBC 2.3 reads whole (its ini library reads a line in pieces of 999
// characters; a longer one reads back cut, and its rest as a key of its own).
inline constexpr std::size_t kOdbcIniMaxLine = 999;

struct OdbcIniKey {
    std::string section;  // "Sales"
    std::string prefix;   // "" for the data source key, "Engines\Jet\" for its subkey
};

// Where a key path below a root lands; nullopt for a path outside SOFTWARE\ODBC\ODBC.INI\, an
// empty part, or a section name odbc.ini cannot hold (its header line included).
std::optional<OdbcIniKey> MapRegistryPath(const std::string& path);

// The same as views of `path`: the section, and the subkey's prefix without its last "\"
// ("Engines\Jet"; empty for the data source key).
struct OdbcIniKeyView {
    std::string_view section;
    std::string_view subkey;
};
std::optional<OdbcIniKeyView> MapRegistryPathView(std::string_view path);

// True when `name` (prefix included) and `value` can be written as one "name=value" line that
// unixODBC reads back as the same key with the whole value.
bool IsStorableEntry(const std::string& name, const std::string& value);

// The odbc.ini unixODBC reads for `root` (CurrentUser or LocalMachine); empty for another root.
// Creates nothing.
std::string OdbcIniPath(RegRoot root);

// Why unixODBC's reader and the engine would not agree on where the lines of `bytes` belong:
// "line N ..." for the first line either reader would put into another section or none; empty
// when they agree.
std::string OdbcIniDisagreement(std::string_view bytes);

// A key's values are kept until it is closed, and the closed keys until Flush, which puts each
// file's changes into it in one change.
class OdbcRegistry final : public Registry {
  public:
    // Returns 0 when the path maps to no section, odbc.ini's folder is missing (the file itself
    // is made at CloseKey when missing), or the key is a subkey of a data source that failed.
    RegHandle CreateKey(RegRoot root, const std::string& path) override;
    // Written as it is (unixODBC drops blanks at the ends when it reads). Returns false, and
    // makes the whole key fail, for a name or value odbc.ini cannot hold. An entry of
    // [ODBC Data Sources] for a data source whose own section failed in this registry fails.
    bool SetString(RegHandle key, const std::string& name, const std::string& value) override;
    // Written in decimal.
    bool SetNumber(RegHandle key, const std::string& name, std::int32_t value) override;
    // Written as "0" or "1" (any other byte in decimal).
    bool SetFlagByte(RegHandle key, const std::string& name, std::uint8_t value) override;
    // Keeps the key's values for Flush (a key without values makes its empty section). Returns
    // false when a value failed, which drops everything of its data source (the key is closed
    // all the same), or when the key is not open.
    bool CloseKey(RegHandle key) override;
    // Writes what the closed keys hold, one change per file. Returns false, changing nothing
    // in that file, when a file could not be written.
    bool Flush() override;

    // Reading reads odbc.ini as unixODBC does: the first section of a name, names without
    // regard to case, "#" and ";" lines as comments, values as the line holds them (no quotes
    // taken off). A subkey's values are the entries that begin with its prefix. The reads of
    // one registry object answer from one reading of each file, taken at the first read and
    // again after each write of this object: a check of many data sources sees one state.
    RegRead OpenKeyForRead(RegRoot root, const std::string& path, RegHandle& key) override;
    RegRead QueryValue(RegHandle key, const std::string& name, RegValue& value) override;
    bool ListValues(RegHandle key, std::vector<RegValue>& values) override;
    // Views of the reading, without `room`, valid until the next write or removal.
    RegRead ReadKeyValues(RegRoot root, const std::string& path, std::vector<RegValue>& room,
                          std::vector<RegValueView>& views,
                          std::span<const std::string> only = {}) override;
    bool ListSubkeys(RegHandle key, std::vector<std::string>& names) override;
    // The section (every one of its name) and the entry, as one change of the file.
    bool RemoveDataSource(RegRoot root, const std::string& name) override;
    std::string ExportPath(RegRoot root, const std::string& path) override;

  private:
    // A key's values as unixODBC reads them (the first of a name), as views of the parse they
    // were read from (which the holder keeps), filed in slots by name: a slot holds 1 + the
    // index of its last value (0: none), each value the same for the one before it in its slot.
    // A key of up to 32 lines has 64 slots, one for each NameBit (cheaper than a hash); a
    // larger one (the list of data sources, whose names often share their length and first
    // letter) hashes names into twice as many slots as it has lines. Of kIndexedValues values
    // on, a key's values are kept while the parse is.
    static constexpr std::size_t kIndexedValues = 32;
    struct HeldValue {
        std::string_view name;
        std::string_view data;
        std::uint32_t same_slot = 0;
    };
    struct KeyValues {
        std::vector<HeldValue> values;
        std::vector<std::uint32_t> slots;
        std::vector<std::string> subkeys;
    };
    static std::size_t SlotOf(std::string_view name, std::size_t slots);
    static const HeldValue* FindValue(const std::vector<HeldValue>& values,
                                      const std::vector<std::uint32_t>& slots,
                                      std::string_view name);
    // The values of the key `subkey` ("" or "Engines\Jet") in the lines [first, end) of `doc`,
    // as unixODBC reads them (the first of a name; "#" lines are comments), into `values` and
    // `slots`. Calls `below(name)` with the first part of each name of a deeper key.
    template <typename Below>
    void ReadKeyLines(const ini::Document& doc, std::size_t first, std::size_t end,
                      std::string_view subkey, std::vector<HeldValue>& values,
                      std::vector<std::uint32_t>& slots, Below&& below);
    // Where root\path is read from: the reading and the section's lines, or why not.
    struct Located {
        RegRead read = RegRead::Missing;
        std::shared_ptr<const ini::Document> doc;
        ini::Document::SectionLines section;
        OdbcIniKeyView where;
    };
    Located Locate(RegRoot root, const std::string& path);
    // The last large key located (a check reads the list of data sources once for each data
    // source it compares), until the readings are forgotten.
    RegRoot located_root_ = RegRoot::CurrentUser;
    std::string located_path_;
    Located located_;
    // The key lines of the section walked last (name and value as the line holds them, "#"
    // lines left out): a data source's key and its subkey are read from one walk of its lines.
    struct KeyLine {
        std::string_view name;
        std::string_view value;
    };
    const ini::Document* walked_doc_ = nullptr;
    std::size_t walked_first_ = 0;
    std::vector<KeyLine> walked_;
    std::vector<HeldValue> listed_;  // ReadKeyValues' values and slots, room kept
    std::vector<std::uint32_t> listed_slots_;
    // A key opened for reading: its values in one parse of the file.
    struct ReadKey {
        std::shared_ptr<const ini::Document> doc;
        std::shared_ptr<const KeyValues> values;
    };
    // The values of the key `prefix` of the section whose lines after its header are
    // [first, end) of `doc`; a large key's are kept while the parse is.
    std::shared_ptr<const KeyValues> ValuesOf(const std::shared_ptr<const ini::Document>& doc,
                                              std::size_t first, std::size_t end,
                                              std::string_view subkey);
    bool CloseReadKey(RegHandle key);
    std::map<RegHandle, ReadKey> read_keys_;
    ParseCache read_cache_{SystemFileReader()};
    // The reading of each file (null: missing) and why one could not be read, by file.
    struct Reading {
        std::shared_ptr<const ini::Document> doc;
        int error = 0;
    };
    const Reading& ReadingOf(const std::string& file);
    void ForgetReadings();
    std::map<std::string, Reading> readings_;
    std::map<RegRoot, std::string> read_paths_;
    std::shared_ptr<const ini::Document> values_doc_;
    std::map<std::pair<std::size_t, std::string>, std::shared_ptr<const KeyValues>> values_;

    struct OpenKey {
        RegRoot root;
        std::string file;
        OdbcIniKey where;
        // Full entry names (prefix included) and values, in the order first set.
        std::vector<std::pair<std::string, std::string>> values;
        bool failed = false;
    };
    bool Write(RegHandle key, const std::string& name, const std::string& value);
    FileProfile& ProfileFor(RegRoot root);

    // odbc.ini is a Unix text file: the lines written end as its lines do. The user's file
    // holds passwords: one it creates is the user's alone.
    FileProfile user_profile_{SystemFileSystem(), WrittenLineEnds::AsFile, NewFileMode::Private};
    FileProfile system_profile_{SystemFileSystem(), WrittenLineEnds::AsFile};
    std::map<RegHandle, OpenKey> keys_;
    // Closed keys waiting for Flush, merged by root and section, in the order first closed.
    std::vector<OpenKey> closed_;
    RegHandle next_handle_ = 1;
    // Data sources (root, lower-case name) whose last attempt failed: their subkeys and their
    // entry in [ODBC Data Sources] fail too.
    std::set<std::pair<RegRoot, std::string>> failed_sections_;
};

}  // namespace vendaro

// Reading and removing data sources in odbc.ini, beside the writes of odbc_registry.cpp.
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/failure.h"
#include "platform/ini_text.h"
#include "platform/posix/odbc_registry.h"

namespace vendaro {
namespace {

constexpr std::string_view kDataSourceList = "ODBC Data Sources";

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && ini::NamesEqual(text.substr(0, prefix.size()), prefix);
}

// A value of odbc.ini as the store's interface hands it out: text, not typed bytes.
RegValue AsRegValue(std::string_view name, std::string_view data) {
    RegValue value;
    value.name = std::string(name);
    value.data = std::string(data);
    value.typed = false;
    return value;
}

// The errno of a file that could not be parsed; 0 when it is simply missing.
int WhyUnreadable(const std::string& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? 0 : errno;
    return S_ISREG(st.st_mode) ? EACCES : EISDIR;
}

}  // namespace

const OdbcRegistry::HeldValue* OdbcRegistry::FindValue(const KeyValues& key,
                                                       std::string_view name) {
    if (key.by_name.empty()) {
        for (const HeldValue& value : key.values) {
            if (ini::NamesEqual(value.name, name)) return &value;
        }
        return nullptr;
    }
    auto found = key.by_name.find(LowerAscii(name));
    return found == key.by_name.end() ? nullptr : &key.values[found->second];
}

std::shared_ptr<const OdbcRegistry::KeyValues> OdbcRegistry::ValuesOf(
    const std::shared_ptr<const ini::Document>& doc, std::size_t first, std::size_t end,
    const std::string& prefix) {
    if (doc != values_doc_) {
        values_.clear();
        values_doc_ = doc;
    }
    // Only a key of many lines can be a kept one.
    const bool large = end - first >= kIndexedValues;
    const std::pair<std::size_t, std::string> where{first, large ? LowerAscii(prefix) : ""};
    if (large) {
        if (auto kept = values_.find(where); kept != values_.end()) return kept->second;
    }
    std::shared_ptr<KeyValues> key;
    if (spare_values_ && spare_values_.use_count() == 1) {
        key = std::move(spare_values_);
        key->values.clear();
        key->by_name.clear();
        key->subkeys.clear();
    } else {
        key = std::make_shared<KeyValues>();
    }
    key->values.reserve(end - first);
    // The NameBits of the names kept so far.
    std::uint64_t seen_names = 0;
    const std::string& bytes = doc->bytes();
    for (std::size_t i = first; i < end; ++i) {
        const std::string_view line = doc->LineText(i);
        const std::size_t begin = static_cast<std::size_t>(line.data() - bytes.data());
        const ini::LineParts parts =
            ini::ClassifyLine(bytes, begin, begin + line.size(), doc->HoldsNul());
        if (parts.kind != ini::LineKind::Key) continue;
        std::string_view name(bytes.data() + parts.name_begin, parts.name_end - parts.name_begin);
        // unixODBC reads "#" lines as comments too.
        if (name.empty() || name.front() == '#' || !StartsWithFolded(name, prefix)) continue;
        name.remove_prefix(prefix.size());
        // A deeper name is a value of a subkey.
        if (const std::size_t cut = name.find('\\'); cut != std::string_view::npos) {
            const std::string subkey(name.substr(0, cut));
            bool seen = cut == 0;
            for (const std::string& s : key->subkeys) seen = seen || ini::NamesEqual(s, subkey);
            if (!seen) key->subkeys.push_back(subkey);
            continue;
        }
        // The first of a name wins, as unixODBC reads it.
        const std::uint64_t bit = ini::NameBit(name);
        if ((seen_names & bit) != 0 && FindValue(*key, name) != nullptr) continue;
        seen_names |= bit;
        if (key->values.size() >= kIndexedValues) {
            if (key->by_name.empty()) {
                for (std::size_t i = 0; i < key->values.size(); ++i) {
                    key->by_name.emplace(LowerAscii(key->values[i].name), i);
                }
            }
            key->by_name.emplace(LowerAscii(name), key->values.size());
        }
        key->values.push_back(
            HeldValue{name, std::string_view(bytes).substr(parts.value_begin,
                                                           parts.value_end - parts.value_begin)});
    }
    // Only a large key is read again and again (the list of data sources, once for each
    // data source a check compares); a data source's own key is read once.
    if (key->values.size() >= kIndexedValues) {
        values_.emplace(where, key);
    } else {
        spare_values_ = key;
    }
    return key;
}

RegRead OdbcRegistry::OpenKeyForRead(RegRoot root, const std::string& path, RegHandle& key) {
    key = 0;
    const std::optional<OdbcIniKey> where = MapRegistryPath(path);
    auto known = read_paths_.find(root);
    if (known == read_paths_.end()) known = read_paths_.emplace(root, OdbcIniPath(root)).first;
    const std::string& file = known->second;
    if (!where || file.empty()) return RegRead::Missing;
    const Reading& reading = ReadingOf(file);
    ReadKey read;
    read.doc = reading.doc;
    if (!read.doc) {
        if (reading.error == 0) return RegRead::Missing;
        NoteFailure(file + " cannot be read: " + std::strerror(reading.error) + ".");
        return RegRead::Failed;
    }
    const ini::Document::SectionLines section = read.doc->FirstSectionLines(where->section);
    if (section.count == 0) return RegRead::Missing;
    read.values = ValuesOf(read.doc, section.header + 1, section.end, where->prefix);
    // A subkey is there when a value or a subkey of its prefix is.
    if (!where->prefix.empty() && read.values->values.empty() && read.values->subkeys.empty()) {
        return RegRead::Missing;
    }
    key = next_handle_++;
    read_keys_.emplace(key, std::move(read));
    return RegRead::Found;
}

RegRead OdbcRegistry::QueryValue(RegHandle key, const std::string& name, RegValue& value) {
    auto it = read_keys_.find(key);
    if (it == read_keys_.end()) return RegRead::Failed;
    const HeldValue* found = FindValue(*it->second.values, name);
    if (found == nullptr) return RegRead::Missing;
    value = AsRegValue(found->name, found->data);
    return RegRead::Found;
}

bool OdbcRegistry::ListValues(RegHandle key, std::vector<RegValue>& values) {
    auto it = read_keys_.find(key);
    if (it == read_keys_.end()) return false;
    const std::vector<HeldValue>& held = it->second.values->values;
    // Assigned in place: a caller that lists key after key into one vector keeps its strings'
    // room, and most values then cost no allocation.
    values.resize(held.size());
    for (std::size_t i = 0; i < held.size(); ++i) {
        RegValue& value = values[i];
        value.name.assign(held[i].name);
        value.data.assign(held[i].data);
        value.type = kRegString;
        value.typed = false;
    }
    return true;
}

bool OdbcRegistry::ListSubkeys(RegHandle key, std::vector<std::string>& names) {
    auto it = read_keys_.find(key);
    if (it == read_keys_.end()) return false;
    names = it->second.values->subkeys;
    return true;
}

const OdbcRegistry::Reading& OdbcRegistry::ReadingOf(const std::string& file) {
    auto known = readings_.find(file);
    if (known != readings_.end()) return known->second;
    Reading reading;
    reading.doc = read_cache_.Load(file);
    if (!reading.doc) reading.error = WhyUnreadable(file);
    return readings_.emplace(file, std::move(reading)).first->second;
}

void OdbcRegistry::ForgetReadings() {
    readings_.clear();
    values_.clear();
    values_doc_.reset();
}

bool OdbcRegistry::CloseReadKey(RegHandle key) {
    return read_keys_.erase(key) != 0;
}

bool OdbcRegistry::RemoveDataSource(RegRoot root, const std::string& name) {
    const std::string file = OdbcIniPath(root);
    if (file.empty() || name.empty() || HoldsLineBreakOrNul(name)) {
        NoteFailure("There is no odbc.ini that could hold \"" + name + "\".");
        return false;
    }
    FileProfile& profile = ProfileFor(root);
    const bool ok =
        profile.Rewrite(file, [&](const std::string* old) -> std::optional<std::string> {
            if (old == nullptr) return std::nullopt;
            std::string bytes = *old;
            // Every section of the name goes: unixODBC would read the next one as the data source.
            for (;;) {
                std::string without = ini::Document(bytes).WithoutSection(name);
                const std::string listed = ini::Document(without).WithoutKey(kDataSourceList, name);
                if (listed == bytes) break;
                bytes = listed;
            }
            if (bytes == *old) return std::nullopt;
            return bytes;
        });
    ForgetReadings();
    if (!ok) {
        // The profile's own reason names the cause best; errno is the fallback.
        std::string why = TakeFailure();
        if (why.empty())
            why = file + " could not be written: " + std::strerror(profile.last_error()) + ".";
        NoteFailure(std::move(why));
    }
    return ok;
}

std::string OdbcRegistry::ExportPath(RegRoot root, const std::string& path) {
    return std::string(root == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE\\"
                                                     : "HKEY_CURRENT_USER\\") +
           path;
}

}  // namespace vendaro

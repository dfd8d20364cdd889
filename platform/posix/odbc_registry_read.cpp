// Reading and removing data sources in odbc.ini, beside the writes of odbc_registry.cpp.
#include <sys/stat.h>

#include <bit>
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

template <typename Below>
void OdbcRegistry::ReadKeyLines(const ini::Document& doc, std::size_t first, std::size_t end,
                                std::string_view subkey, std::vector<HeldValue>& values,
                                Below&& below) {
    const std::size_t start = values.size();
    // The values kept so far by slot, each chain from its last: 1 + an index, 0 for none. A
    // small key's slot is the name's NameBit, which costs less than a hash; a key of many lines
    // (the list of data sources, whose names often share length and first letter) gets a hash
    // and room for twice its lines, so that its chains stay short.
    const bool hashed = end - first > 64;
    std::size_t slots = 64;
    while (hashed && slots < 2 * (end - first)) slots *= 2;
    std::uint32_t small[64] = {};
    std::vector<std::uint32_t> large(hashed ? slots : 0);
    std::uint32_t* last_of_slot = hashed ? large.data() : small;
    const std::string& bytes = doc.bytes();
    for (std::size_t i = first; i < end; ++i) {
        const std::string_view line = doc.LineText(i);
        const std::size_t begin = static_cast<std::size_t>(line.data() - bytes.data());
        const ini::LineParts parts =
            ini::ClassifyLine(bytes, begin, begin + line.size(), doc.HoldsNul());
        if (parts.kind != ini::LineKind::Key) continue;
        std::string_view name(bytes.data() + parts.name_begin, parts.name_end - parts.name_begin);
        // unixODBC reads "#" lines as comments too.
        if (name.empty() || name.front() == '#') continue;
        if (!subkey.empty()) {
            if (name.size() <= subkey.size() || name[subkey.size()] != '\\' ||
                !ini::NamesEqual(name.substr(0, subkey.size()), subkey)) {
                continue;
            }
            name.remove_prefix(subkey.size() + 1);
        }
        // A deeper name is a value of a subkey.
        if (const std::size_t cut = name.find('\\'); cut != std::string_view::npos) {
            if (cut != 0) below(name.substr(0, cut));
            continue;
        }
        // The first of a name wins, as unixODBC reads it.
        std::uint32_t& last =
            last_of_slot[hashed ? ini::FoldedHash(name) & (slots - 1)
                                : static_cast<std::size_t>(std::countr_zero(ini::NameBit(name)))];
        bool seen = false;
        for (std::uint32_t v = last; v != 0 && !seen; v = values[start + v - 1].same_hash) {
            seen = ini::NamesEqual(values[start + v - 1].name, name);
        }
        if (seen) continue;
        values.push_back(HeldValue{
            name,
            std::string_view(bytes).substr(parts.value_begin, parts.value_end - parts.value_begin),
            last});
        last = static_cast<std::uint32_t>(values.size() - start);
    }
}

std::shared_ptr<const OdbcRegistry::KeyValues> OdbcRegistry::ValuesOf(
    const std::shared_ptr<const ini::Document>& doc, std::size_t first, std::size_t end,
    std::string_view subkey) {
    if (doc != values_doc_) {
        values_.clear();
        values_doc_ = doc;
    }
    // Only a key of many lines can be a kept one.
    const bool large = end - first >= kIndexedValues;
    const std::pair<std::size_t, std::string> where{first, large ? LowerAscii(subkey) : ""};
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
    ReadKeyLines(*doc, first, end, subkey, key->values, [&](std::string_view below) {
        for (const std::string& s : key->subkeys) {
            if (ini::NamesEqual(s, below)) return;
        }
        key->subkeys.emplace_back(below);
    });
    if (key->values.size() >= kIndexedValues) {
        for (std::size_t i = 0; i < key->values.size(); ++i) {
            // The first of a name is already the only one.
            key->by_name.emplace(LowerAscii(key->values[i].name), i);
        }
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

OdbcRegistry::Located OdbcRegistry::Locate(RegRoot root, const std::string& path) {
    Located found;
    const std::optional<OdbcIniKeyView> where = MapRegistryPathView(path);
    auto known = read_paths_.find(root);
    if (known == read_paths_.end()) known = read_paths_.emplace(root, OdbcIniPath(root)).first;
    const std::string& file = known->second;
    if (!where || file.empty()) return found;
    const Reading& reading = ReadingOf(file);
    if (!reading.doc) {
        if (reading.error == 0) return found;
        NoteFailure(file + " cannot be read: " + std::strerror(reading.error) + ".");
        found.read = RegRead::Failed;
        return found;
    }
    found.section = reading.doc->FirstSectionLines(where->section);
    if (found.section.count == 0) return found;
    found.read = RegRead::Found;
    found.doc = reading.doc;
    found.where = *where;
    return found;
}

RegRead OdbcRegistry::OpenKeyForRead(RegRoot root, const std::string& path, RegHandle& key) {
    key = 0;
    Located found = Locate(root, path);
    if (found.read != RegRead::Found) return found.read;
    ReadKey read;
    read.values =
        ValuesOf(found.doc, found.section.header + 1, found.section.end, found.where.subkey);
    // A subkey is there when a value or a subkey of its prefix is.
    if (!found.where.subkey.empty() && read.values->values.empty() &&
        read.values->subkeys.empty()) {
        return RegRead::Missing;
    }
    read.doc = std::move(found.doc);
    key = next_handle_++;
    read_keys_.emplace(key, std::move(read));
    return RegRead::Found;
}

RegRead OdbcRegistry::ReadKeyValues(RegRoot root, const std::string& path, std::vector<RegValue>&,
                                    std::vector<RegValueView>& views) {
    views.clear();
    const Located found = Locate(root, path);
    if (found.read != RegRead::Found) return found.read;
    listed_.clear();
    bool below = false;
    ReadKeyLines(*found.doc, found.section.header + 1, found.section.end, found.where.subkey,
                 listed_, [&](std::string_view) { below = true; });
    // A subkey is there when a value or a subkey of its prefix is.
    if (!found.where.subkey.empty() && listed_.empty() && !below) return RegRead::Missing;
    for (const HeldValue& held : listed_)
        views.push_back({held.name, kRegString, held.data, false});
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

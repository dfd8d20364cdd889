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

std::size_t OdbcRegistry::SlotOf(std::string_view name, std::size_t slots) {
    if (slots > 64) return ini::FoldedHash(name) & (slots - 1);
    return static_cast<std::size_t>(std::countr_zero(ini::NameBit(name)));
}

const OdbcRegistry::HeldValue* OdbcRegistry::FindValue(const std::vector<HeldValue>& values,
                                                       const std::vector<std::uint32_t>& slots,
                                                       std::string_view name) {
    for (std::uint32_t v = slots[SlotOf(name, slots.size())]; v != 0; v = values[v - 1].same_slot) {
        if (ini::NamesEqual(values[v - 1].name, name)) return &values[v - 1];
    }
    return nullptr;
}

template <typename Below>
void OdbcRegistry::ReadKeyLines(const ini::Document& doc, std::size_t first, std::size_t end,
                                std::string_view subkey, std::vector<HeldValue>& values,
                                std::vector<std::uint32_t>& slots, Below&& below) {
    values.clear();
    std::size_t count = 64;
    if (end - first > 32) {
        while (count < 2 * (end - first)) count *= 2;
    }
    slots.assign(count, 0);
    if (&doc != walked_doc_ || first != walked_first_) {
        walked_.clear();
        const std::string& bytes = doc.bytes();
        for (std::size_t i = first; i < end; ++i) {
            const std::string_view line = doc.LineText(i);
            const std::size_t begin = static_cast<std::size_t>(line.data() - bytes.data());
            const ini::LineParts parts =
                ini::ClassifyLine(bytes, begin, begin + line.size(), doc.HoldsNul());
            if (parts.kind != ini::LineKind::Key) continue;
            const std::string_view name(bytes.data() + parts.name_begin,
                                        parts.name_end - parts.name_begin);
            // unixODBC reads "#" lines as comments too.
            if (name.empty() || name.front() == '#') continue;
            walked_.push_back({name, std::string_view(bytes).substr(
                                         parts.value_begin, parts.value_end - parts.value_begin)});
        }
        walked_doc_ = &doc, walked_first_ = first;
    }
    for (const KeyLine& line : walked_) {
        std::string_view name = line.name;
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
        std::uint32_t& last = slots[SlotOf(name, count)];
        bool seen = false;
        for (std::uint32_t v = last; v != 0 && !seen; v = values[v - 1].same_slot) {
            seen = ini::NamesEqual(values[v - 1].name, name);
        }
        if (seen) continue;
        values.push_back(HeldValue{name, line.value, last});
        last = static_cast<std::uint32_t>(values.size());
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
    // Kept by the subkey as spelt: another spelling only reads the key again.
    const std::pair<std::size_t, std::string> where{first, large ? subkey : ""};
    if (large) {
        if (auto kept = values_.find(where); kept != values_.end()) return kept->second;
    }
    auto key = std::make_shared<KeyValues>();
    key->values.reserve(end - first);
    ReadKeyLines(*doc, first, end, subkey, key->values, key->slots, [&](std::string_view below) {
        for (const std::string& s : key->subkeys) {
            if (ini::NamesEqual(s, below)) return;
        }
        key->subkeys.emplace_back(below);
    });
    // Only a large key is read again and again (the list of data sources, once for each
    // data source a check compares); a data source's own key is read once.
    if (key->values.size() >= kIndexedValues) values_.emplace(where, key);
    return key;
}

OdbcRegistry::Located OdbcRegistry::Locate(RegRoot root, const std::string& path) {
    if (located_.read == RegRead::Found && root == located_root_ && path == located_path_) {
        return located_;
    }
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
    // Only a large key is read again and again (the list of data sources); kept with views of
    // its own copy of the path.
    if (found.section.end - found.section.header <= kIndexedValues) return found;
    located_root_ = root;
    located_path_ = path;
    const auto own = [&](std::string_view part) {
        return std::string_view(located_path_)
            .substr(static_cast<std::size_t>(part.data() - path.data()), part.size());
    };
    located_ = found;
    located_.where = OdbcIniKeyView{own(where->section), own(where->subkey)};
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
                                    std::vector<RegValueView>& views,
                                    std::span<const std::string> only) {
    views.clear();
    const Located found = Locate(root, path);
    if (found.read != RegRead::Found) return found.read;
    const std::size_t first = found.section.header + 1, end = found.section.end;
    bool below = false;
    std::shared_ptr<const KeyValues> kept;
    const std::vector<HeldValue>* values = &listed_;
    const std::vector<std::uint32_t>* slots = &listed_slots_;
    if (!only.empty() && end - first >= kIndexedValues) {
        // A few values of a key of many lines (the list of data sources): read once and kept.
        kept = ValuesOf(found.doc, first, end, found.where.subkey);
        values = &kept->values, slots = &kept->slots, below = !kept->subkeys.empty();
    } else {
        ReadKeyLines(*found.doc, first, end, found.where.subkey, listed_, listed_slots_,
                     [&](std::string_view) { below = true; });
    }
    // A subkey is there when a value or a subkey of its prefix is.
    if (!found.where.subkey.empty() && values->empty() && !below) return RegRead::Missing;
    const auto add = [&](const HeldValue& held) {
        views.push_back({held.name, kRegString, held.data, false});
    };
    if (only.empty()) {
        for (const HeldValue& held : *values) add(held);
    }
    for (const std::string& name : only) {
        if (const HeldValue* held = FindValue(*values, *slots, name)) add(*held);
    }
    return RegRead::Found;
}

RegRead OdbcRegistry::QueryValue(RegHandle key, const std::string& name, RegValue& value) {
    auto it = read_keys_.find(key);
    if (it == read_keys_.end()) return RegRead::Failed;
    const HeldValue* found = FindValue(it->second.values->values, it->second.values->slots, name);
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
    located_ = Located();
    walked_doc_ = nullptr;
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
    return RootName(root) + "\\" + path;
}

}  // namespace vendaro

// Reading and removing data sources in odbc.ini, beside the writes of odbc_registry.cpp.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/failure.h"
#include "platform/ini_text.h"
#include "platform/posix/odbc_registry.h"

namespace vendaro {
namespace {

constexpr std::string_view kDataSourceList = "ODBC Data Sources";

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && ini::NamesEqual(text.substr(0, prefix.size()), prefix);
}

// The errno of a file that could not be parsed; 0 when it is simply missing.
int WhyUnreadable(const std::string& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? 0 : errno;
    return S_ISREG(st.st_mode) ? EACCES : EISDIR;
}

}  // namespace

std::vector<RegValue> OdbcRegistry::Entries(const ReadKey& key) const {
    std::vector<RegValue> entries;
    const std::string& bytes = key.doc->bytes();
    for (std::size_t i = key.first; i < key.end; ++i) {
        const std::string_view line = key.doc->LineText(i);
        const std::size_t begin = static_cast<std::size_t>(line.data() - bytes.data());
        const ini::LineParts parts = ini::ClassifyLine(bytes, begin, begin + line.size());
        if (parts.kind != ini::LineKind::Key) continue;
        std::string_view name(bytes.data() + parts.name_begin, parts.name_end - parts.name_begin);
        // unixODBC reads "#" lines as comments too.
        if (name.empty() || name.front() == '#' || !StartsWithFolded(name, key.prefix)) continue;
        name.remove_prefix(key.prefix.size());
        RegValue value;
        value.name = std::string(name);
        value.data = bytes.substr(parts.value_begin, parts.value_end - parts.value_begin);
        value.typed = false;
        entries.push_back(std::move(value));
    }
    return entries;
}

RegRead OdbcRegistry::OpenKeyForRead(RegRoot root, const std::string& path, RegHandle& key) {
    key = 0;
    const std::optional<OdbcIniKey> where = MapRegistryPath(path);
    const std::string file = OdbcIniPath(root);
    if (!where || file.empty()) return RegRead::Missing;
    ReadKey read;
    read.doc = read_cache_.Load(file);
    if (!read.doc) {
        const int error = WhyUnreadable(file);
        if (error == 0) return RegRead::Missing;
        NoteFailure(file + " cannot be read: " + std::strerror(error) + ".");
        return RegRead::Failed;
    }
    const ini::Document::SectionLines lines = read.doc->FindSectionLines(where->section);
    if (lines.count == 0) return RegRead::Missing;
    read.first = lines.header + 1;
    read.end = lines.end;
    read.prefix = where->prefix;
    // A subkey is there when an entry of its prefix is.
    if (!read.prefix.empty()) {
        bool any = false;
        for (const RegValue& entry : Entries(read)) {
            any = any || entry.name.find('\\') == std::string::npos;
        }
        if (!any) return RegRead::Missing;
    }
    key = next_handle_++;
    read_keys_.emplace(key, std::move(read));
    return RegRead::Found;
}

RegRead OdbcRegistry::QueryValue(RegHandle key, const std::string& name, RegValue& value) {
    std::vector<RegValue> values;
    if (!ListValues(key, values)) return RegRead::Failed;
    for (RegValue& entry : values) {
        if (ini::NamesEqual(entry.name, name)) {
            value = std::move(entry);
            return RegRead::Found;
        }
    }
    return RegRead::Missing;
}

bool OdbcRegistry::ListValues(RegHandle key, std::vector<RegValue>& values) {
    auto it = read_keys_.find(key);
    if (it == read_keys_.end()) return false;
    values.clear();
    for (RegValue& entry : Entries(it->second)) {
        // The first of a name wins, as unixODBC reads it; deeper names are subkeys' values.
        if (entry.name.find('\\') != std::string::npos) continue;
        bool seen = false;
        for (const RegValue& kept : values) seen = seen || ini::NamesEqual(kept.name, entry.name);
        if (!seen) values.push_back(std::move(entry));
    }
    return true;
}

bool OdbcRegistry::ListSubkeys(RegHandle key, std::vector<std::string>& names) {
    auto it = read_keys_.find(key);
    if (it == read_keys_.end()) return false;
    names.clear();
    for (const RegValue& entry : Entries(it->second)) {
        const std::size_t cut = entry.name.find('\\');
        if (cut == std::string::npos || cut == 0) continue;
        const std::string subkey = entry.name.substr(0, cut);
        bool seen = false;
        for (const std::string& kept : names) seen = seen || ini::NamesEqual(kept, subkey);
        if (!seen) names.push_back(subkey);
    }
    return true;
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
    const bool ok =
        profile_.Rewrite(file, [&](const std::string* old) -> std::optional<std::string> {
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
    read_cache_.Clear();
    if (!ok) {
        NoteFailure(file + " could not be written: " + std::strerror(profile_.last_error()) + ".");
    }
    return ok;
}

std::string OdbcRegistry::ExportPath(RegRoot root, const std::string& path) {
    return std::string(root == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE\\"
                                                     : "HKEY_CURRENT_USER\\") +
           path;
}

}  // namespace vendaro

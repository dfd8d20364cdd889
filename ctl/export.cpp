#include "ctl/export.h"

#include <cstdint>
#include <cstdio>
#include <variant>

#include "ctl/compare.h"

namespace vendaro::ctl {
namespace {

constexpr std::string_view kOdbcIni = kOdbcIniKey;

std::string RegQuoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string RegData(const SetValueOp& value) {
    char buffer[16];
    switch (value.kind) {
        case ValueKind::String:
            return RegQuoted(value.text);
        case ValueKind::Number:
            std::snprintf(buffer, sizeof buffer, "dword:%08x",
                          static_cast<std::uint32_t>(value.number));
            return buffer;
        case ValueKind::FlagByte:
            std::snprintf(buffer, sizeof buffer, "hex(0):%02x", value.number != 0 ? 1u : 0u);
            return buffer;
    }
    return RegQuoted(value.text);
}

// What a .reg file or odbc.ini cannot hold, as comment lines.
std::string Remarks(const WriteOp& op, bool legacy_odbc_ini) {
    if (const auto* entry = std::get_if<WriteProfileOp>(&op)) {
        if (!legacy_odbc_ini) return "";
        return "; " + entry->file + ": [" + entry->section + "] " + entry->key + "=" +
               entry->value + "\n";
    }
    if (const auto* installer = std::get_if<ConfigureDataSourceOp>(&op)) {
        const std::string dsn = installer->attributes.substr(0, installer->attributes.find('\0'));
        return std::string("; then the ODBC installer: ") +
               (installer->request == ODBC_ADD_DSN_REQUEST ? "ODBC_ADD_DSN" : "ODBC_CONFIG_DSN") +
               " for the driver \"" + installer->driver + "\", " + dsn + "\n";
    }
    return "";
}

// Where a key lands in odbc.ini: its section and the prefix of its entries.
void SectionOf(const std::string& path, std::string& section, std::string& prefix) {
    std::string rest = path.starts_with(kOdbcIni) ? path.substr(kOdbcIni.size()) : path;
    const std::size_t cut = rest.find('\\');
    section = rest.substr(0, cut);
    prefix = cut == std::string::npos ? "" : rest.substr(cut + 1) + "\\";
}

}  // namespace

std::string ExportReg(const WriteList& list, Registry& registry, bool legacy_odbc_ini) {
    std::string out = "REGEDIT4\n";
    std::string remarks;
    for (const WriteOp& op : list) {
        if (const auto* create = std::get_if<CreateKeyOp>(&op)) {
            out += "\n[" + registry.ExportPath(create->root, create->path) + "]\n";
        } else if (const auto* set = std::get_if<SetValueOp>(&op)) {
            if (IsSecret(set->name)) {
                out += ";" + RegQuoted(set->name) + "=" + RegQuoted(kHidden) + "\n";
            } else {
                out += RegQuoted(set->name) + "=" + RegData(*set) + "\n";
            }
        } else {
            remarks += Remarks(op, legacy_odbc_ini);
        }
    }
    if (!remarks.empty()) out += "\n" + remarks;
    return out;
}

std::string ExportOdbcIni(const WriteList& list, bool legacy_odbc_ini) {
    std::string out;
    std::string remarks;
    std::string section;
    std::string prefix;
    std::string open_section;
    for (const WriteOp& op : list) {
        if (const auto* create = std::get_if<CreateKeyOp>(&op)) {
            SectionOf(create->path, section, prefix);
            // A subkey's entries join its data source's section.
            if (section != open_section) {
                if (!out.empty()) out += "\n";
                out += "[" + section + "]\n";
                open_section = section;
            }
        } else if (const auto* set = std::get_if<SetValueOp>(&op)) {
            const std::string line = prefix + set->name + "=";
            out += IsSecret(set->name) ? ";" + line + kHidden + "\n"
                                       : line + ExpectedText(*set) + "\n";
        } else {
            remarks += Remarks(op, legacy_odbc_ini);
        }
    }
    if (!remarks.empty()) out += "\n" + remarks;
    return out;
}

}  // namespace vendaro::ctl

#pragma once
// Turns the selected script into the write list of its User or System DSN.
#include <string>

#include "dsn/dsn_command.h"
#include "dsn/write_list.h"
#include "platform/registry.h"
#include "store/script_store.h"

namespace vendaro {

inline constexpr const char* kAsaDriver = "Adaptive Server Anywhere 6.0";
inline constexpr const char* kAccessDriver = "Microsoft Access Driver (*.mdb)";
inline constexpr const char* kDbaseDriver = "Microsoft dBase Driver (*.dbf)";
inline constexpr const char* kFoxProDriver = "Microsoft Visual FoxPro Driver";
inline constexpr const char* kSqlServerDriver = "SQL Server";

inline constexpr const char* kOdbcIniPath = "SOFTWARE\\ODBC\\ODBC.INI\\";
inline constexpr const char* kDataSourcesPath = "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources";
inline constexpr const char* kLegacyDataSourcesSection = "ODBC 32 bit Data Sources";

// HKEY_CURRENT_USER for a User DSN, HKEY_LOCAL_MACHINE for a System DSN.
RegRoot RootOf(DsnCommand command);

// True for the start modes of an unattended run: "ue" and "se".
bool IsUnattended(const std::string& start_mode);

// "DSN=" + name + one NUL.
std::string AttributeString(const std::string& name);

// The whole write list of `request`, in the order it is to be performed, ending with the
// installer step when the command has one. `raw_system_directory` is the installer's
// SystemDirectory() text; the script's keys are read from section `request.name` of the
// store's script file. Never fails: missing keys read as their defaults.
WriteList BuildWriteList(const DsnRequest& request, const std::string& raw_system_directory,
                         ScriptStore& store);

}  // namespace vendaro

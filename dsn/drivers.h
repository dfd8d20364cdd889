#pragma once
// The ODBC drivers Vendaro knows, one row each: the Select Driver dialog, the editor launcher,
// the editors, the write-list builder, the tests and the benchmarks all read this table.
#include <array>
#include <cstddef>
#include <string_view>

namespace vendaro {

class ScriptValues;

enum class DriverId { AdaptiveServer, Access, Dbase, SqlServer, FoxPro };

struct Driver {
    DriverId id;
    const char* name;  // exact, as DSN_Driver and the registry spell it
    const char*
        product;      // the word after "Add DSN Script for " in its editor's caption; null: none
    bool has_editor;  // false: its scripts are listed and turned into DSNs, not edited
    // Appends the values of the DSN's key and of the driver's further keys, each key closed;
    // null: the key is registered but left empty.
    void (*add_values)(ScriptValues& values);
};

namespace write_lists {
void AdaptiveServer(ScriptValues& values);
void Access(ScriptValues& values);
void Dbase(ScriptValues& values);
void SqlServer(ScriptValues& values);
}  // namespace write_lists

// In the order the Select Driver dialog's sorted list shows the drivers that have an editor.
inline constexpr std::array<Driver, 5> kDrivers = {{
    {DriverId::AdaptiveServer, "Adaptive Server Anywhere 6.0", "Adaptive Server Anywhere", true,
     &write_lists::AdaptiveServer},
    {DriverId::Access, "Microsoft Access Driver (*.mdb)", "Microsoft Access", true,
     &write_lists::Access},
    {DriverId::Dbase, "Microsoft dBase Driver (*.dbf)", "dBase", true, &write_lists::Dbase},
    {DriverId::SqlServer, "SQL Server", "SQL Server", true, &write_lists::SqlServer},
    {DriverId::FoxPro, "Microsoft Visual FoxPro Driver", nullptr, false, nullptr},
}};

// What an Access script's keys stand for where it has none: the editors show these, and the
// write list writes them.
inline constexpr char kAccessDefaultFil[] = "MS Access;";
inline constexpr char kAccessDefaultThreads[] = "3";
inline constexpr char kAccessDefaultPageTimeout[] = "5";
inline constexpr char kAccessDefaultMaxBufferSize[] = "2048";

constexpr const Driver& DriverOf(DriverId id) {
    return kDrivers[static_cast<std::size_t>(id)];
}

// The row of exactly `name` (case and blanks count); null for a driver not in the table.
constexpr const Driver* FindDriver(std::string_view name) {
    for (const Driver& driver : kDrivers) {
        if (name == driver.name) return &driver;
    }
    return nullptr;
}

// True when `name` is exactly the name of a driver that has a script editor.
constexpr bool HasEditor(std::string_view name) {
    const Driver* driver = FindDriver(name);
    return driver != nullptr && driver->has_editor;
}

}  // namespace vendaro

#pragma once
// What apply would write, as a file a person or another tool can read: a .reg file (REGEDIT4)
// or an odbc.ini fragment. Passwords stay inside: their lines are comments reading (hidden).
#include <string>

#include "dsn/write_list.h"
#include "platform/registry.h"

namespace vendaro::ctl {

// `list`'s keys as regedit names them through `registry` (the program's own view). Profile
// entries (`legacy_odbc_ini`: when the platform writes them) and the installer call, which no
// such file can hold, follow as comments.
std::string ExportReg(const WriteList& list, Registry& registry, bool legacy_odbc_ini);

// `list`'s keys as the sections and entries odbc.ini holds them.
std::string ExportOdbcIni(const WriteList& list, bool legacy_odbc_ini);

}  // namespace vendaro::ctl

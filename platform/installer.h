#pragma once
// The ODBC installer (odbccp32 / libodbcinst).
#include <cstdint>
#include <string>

namespace vendaro {

using WindowHandle = std::uintptr_t;  // 0: no window

enum : int { ODBC_ADD_DSN_REQUEST = 1, ODBC_CONFIG_DSN_REQUEST = 2 };

class Installer {
  public:
    virtual ~Installer() = default;
    // SQLConfigDataSource. `attributes` holds its NULs ("DSN=Sales" + '\0').
    // Returns the installer's BOOL result. Where the platform itself could not run the step
    // (or keep what the driver wrote) it returns false and notes why (platform/failure.h); a
    // driver that declines notes nothing.
    virtual bool ConfigDataSource(WindowHandle parent, int request, const std::string& driver,
                                  const std::string& attributes) = 0;
    // GetSystemDirectoryA into a 256-character buffer: the raw buffer text up to its first NUL.
    virtual std::string SystemDirectory() = 0;
};

}  // namespace vendaro

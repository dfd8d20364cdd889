#pragma once
// The ODBC installer on unixODBC.
#include <string>

#include "platform/installer.h"

namespace vendaro {

// What GetSystemDirectoryA reads on a default Windows machine: values written for Windows
// drivers then match what Windows would write.
inline constexpr const char* kPosixSystemDirectory = "c:\\windows\\system32";

class OdbcInstaller final : public Installer {
  public:
    // unixODBC's SQLConfigDataSource; false for a driver that has no setup library.
    bool ConfigDataSource(WindowHandle parent, int request, const std::string& driver,
                          const std::string& attributes) override;
    std::string SystemDirectory() override { return kPosixSystemDirectory; }
};

}  // namespace vendaro

#pragma once
// The ODBC installer on odbccp32 and the system directory on kernel32.
#include "platform/installer.h"

namespace vendaro::win32 {

class Win32Installer final : public Installer {
  public:
    bool ConfigDataSource(WindowHandle parent, int request, const std::string& driver,
                          const std::string& attributes) override;
    std::string SystemDirectory() override;
};

}  // namespace vendaro::win32

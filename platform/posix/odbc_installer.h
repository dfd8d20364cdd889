#pragma once
// The ODBC installer on unixODBC.
#include <string>

#include "platform/installer.h"
#include "platform/posix/file_profile.h"

namespace vendaro {

// What GetSystemDirectoryA reads on a default Windows machine: values written for Windows
// drivers then match what Windows would write.
inline constexpr const char* kPosixSystemDirectory = "c:\\windows\\system32";

class OdbcInstaller final : public Installer {
  public:
    // unixODBC's SQLConfigDataSource; false for a driver that has no setup library.
    //
    // A driver's setup library writes odbc.ini through unixODBC's ini library, which rewrites
    // the whole file in place without a lock, cutting long lines and dropping comments. So the
    // driver is given a private copy of the user's odbc.ini (through $ODBCINI) in a folder of
    // this run's own, and what it changed in its own data source (the section and its
    // [ODBC Data Sources] entry) is then carried into the real file as one atomic change under
    // the file's lock: no other line, and no value another process wrote meanwhile, is
    // touched. Returns false and notes why (platform/failure.h) when no safe folder for the
    // copy exists (the driver is then not called) or the driver's changes could not be kept.
    bool ConfigDataSource(WindowHandle parent, int request, const std::string& driver,
                          const std::string& attributes) override;
    std::string SystemDirectory() override { return kPosixSystemDirectory; }

  private:
    // odbc.ini is a Unix text file: the lines written end as its lines do.
    FileProfile profile_{SystemFileSystem(), WrittenLineEnds::AsFile, NewFileMode::Private};
};

}  // namespace vendaro

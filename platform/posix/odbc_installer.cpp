#include "platform/posix/odbc_installer.h"

#include <odbcinst.h>

namespace vendaro {

bool OdbcInstaller::ConfigDataSource(WindowHandle parent, int request, const std::string& driver,
                                     const std::string& attributes) {
    // `attributes` ends in its own NUL; c_str() adds the second that ends the list.
    return SQLConfigDataSource(reinterpret_cast<HWND>(parent), static_cast<WORD>(request),
                               driver.c_str(), attributes.c_str());
}

}  // namespace vendaro

// The ODBC installer call on the real system (the end-to-end test makes the successful ones).
#include <doctest/doctest.h>

#include "platform/win32/win32_installer.h"

namespace vendaro::win32 {

TEST_CASE("a driver the system does not know makes the installer call answer false") {
    CHECK_FALSE(Win32Installer().ConfigDataSource(0, 1, "Vendaro No Such Driver",
                                                  std::string("DSN=VendaroNone") + '\0'));
}

}  // namespace vendaro::win32

#pragma once
// Opening a connection through the ODBC driver manager (unixODBC's libodbc, Windows' odbc32),
// to prove that a data source works, and closing it again.
#include <memory>
#include <string>
#include <vector>

namespace vendaro {

// One diagnostic record of the driver manager or the driver.
struct OdbcDiagnostic {
    std::string sqlstate;  // "IM002"
    long native = 0;
    std::string message;  // "[unixODBC][Driver Manager]Data source name not found ..."
};

struct ConnectResult {
    bool connected = false;
    std::string dbms_name;     // SQL_DBMS_NAME, when connected
    std::string dbms_version;  // SQL_DBMS_VER
    std::vector<OdbcDiagnostic> diagnostics;
};

class OdbcConnector {
  public:
    virtual ~OdbcConnector() = default;
    // SQLDriverConnect with `connection_string`, no prompt, a login timeout of
    // `timeout_seconds` (0: the driver's own); the connection is closed before returning.
    virtual ConnectResult Connect(const std::string& connection_string, int timeout_seconds) = 0;
};

// The driver manager of the platform the program was built for.
std::unique_ptr<OdbcConnector> MakeOdbcConnector();

}  // namespace vendaro

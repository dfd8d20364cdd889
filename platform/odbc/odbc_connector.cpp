// The ODBC driver manager's connection calls are the same API on unixODBC and on Windows'
// odbc32, so one file serves both (Windows' sql.h wants <windows.h> first).
#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include "platform/odbc_connector.h"

namespace vendaro {
namespace {

// A handle freed when it goes out of scope.
class Handle {
  public:
    Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
        const SQLRETURN code = SQLAllocHandle(type, parent, &handle_);
        if (code != SQL_SUCCESS && code != SQL_SUCCESS_WITH_INFO) handle_ = SQL_NULL_HANDLE;
    }
    ~Handle() {
        if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    SQLHANDLE get() const { return handle_; }

  private:
    SQLSMALLINT type_;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

bool Succeeded(SQLRETURN code) {
    return code == SQL_SUCCESS || code == SQL_SUCCESS_WITH_INFO;
}

void AddDiagnostics(SQLSMALLINT type, SQLHANDLE handle, std::vector<OdbcDiagnostic>& out) {
    if (handle == SQL_NULL_HANDLE) return;
    for (SQLSMALLINT record = 1; record < 20; ++record) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLCHAR message[1024] = {};
        SQLSMALLINT length = 0;
        if (!Succeeded(SQLGetDiagRec(type, handle, record, state, &native, message, sizeof message,
                                     &length))) {
            return;
        }
        out.push_back(OdbcDiagnostic{reinterpret_cast<const char*>(state), native,
                                     reinterpret_cast<const char*>(message)});
    }
}

std::string Info(SQLHDBC connection, SQLUSMALLINT what) {
    SQLCHAR text[256] = {};
    SQLSMALLINT length = 0;
    if (!Succeeded(SQLGetInfo(connection, what, text, sizeof text, &length))) return {};
    return reinterpret_cast<const char*>(text);
}

class DriverManagerConnector final : public OdbcConnector {
  public:
    ConnectResult Connect(const std::string& connection_string, int timeout_seconds) override {
        ConnectResult result;
        Handle env(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
        if (env.get() == SQL_NULL_HANDLE) {
            result.diagnostics.push_back({"HY001", 0, "The ODBC driver manager cannot be used."});
            return result;
        }
        SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0);
        Handle dbc(SQL_HANDLE_DBC, env.get());
        if (dbc.get() == SQL_NULL_HANDLE) {
            AddDiagnostics(SQL_HANDLE_ENV, env.get(), result.diagnostics);
            return result;
        }
        if (timeout_seconds > 0) {
            SQLSetConnectAttr(dbc.get(), SQL_ATTR_LOGIN_TIMEOUT,
                              reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeout_seconds)),
                              0);
        }
        std::string in = connection_string;
        SQLCHAR out[1024] = {};
        SQLSMALLINT out_length = 0;
        const SQLRETURN code = SQLDriverConnect(
            dbc.get(), nullptr, reinterpret_cast<SQLCHAR*>(in.data()),
            static_cast<SQLSMALLINT>(in.size()), out, sizeof out, &out_length, SQL_DRIVER_NOPROMPT);
        AddDiagnostics(SQL_HANDLE_DBC, dbc.get(), result.diagnostics);
        if (!Succeeded(code)) return result;
        result.connected = true;
        result.dbms_name = Info(dbc.get(), SQL_DBMS_NAME);
        result.dbms_version = Info(dbc.get(), SQL_DBMS_VER);
        SQLDisconnect(dbc.get());
        return result;
    }
};

}  // namespace

std::unique_ptr<OdbcConnector> MakeOdbcConnector() {
    return std::make_unique<DriverManagerConnector>();
}

}  // namespace vendaro

#include "dsn/dsn_builder.h"

#include "dsn/conversions.h"
#include "dsn/drivers.h"
#include "dsn/script_values.h"

namespace vendaro {

std::string AttributeString(const std::string& name) {
    std::string attributes = "DSN=" + name;
    attributes.push_back('\0');
    return attributes;
}

WriteList BuildWriteList(const DsnRequest& request, const std::string& raw_system_directory,
                         ScriptStore& store) {
    WriteList list;
    BuildWriteList(request, raw_system_directory, store, list);
    return list;
}

void BuildWriteList(const DsnRequest& request, const std::string& raw_system_directory,
                    ScriptStore& store, WriteList& list) {
    // HKEY_CURRENT_USER for a User DSN, HKEY_LOCAL_MACHINE for a System DSN.
    const RegRoot root =
        request.command == DsnCommand::System ? RegRoot::LocalMachine : RegRoot::CurrentUser;
    list.reserve(40);  // room for any driver's whole list: it is never regrown and moved
    ScriptValues values(list, store, request, root, kOdbcIniKey + request.name,
                        SystemDirectoryOf(raw_system_directory));
    values.CreateKey(root, values.key_path);
    const Driver* driver = FindDriver(request.driver);
    if (driver != nullptr && driver->add_values != nullptr) {
        driver->add_values(values);
    } else {
        // FoxPro and unknown drivers: the key is registered but left empty.
        values.CloseKey();
    }

    values.CreateKey(root, kDataSourceListKey);
    values.String(request.name, request.driver);
    values.CloseKey();

    if (request.command == DsnCommand::User) {
        // Unattended, no window is the installer's parent and the data source is added; from
        // the window, the driver's dialog configures it over the main window.
        values.Configure(request.unattended ? 0 : request.main_window,
                         request.unattended ? ODBC_ADD_DSN_REQUEST : ODBC_CONFIG_DSN_REQUEST,
                         request.driver, AttributeString(request.name));
    }
    values.Finish();
}

}  // namespace vendaro

#include "dsn/dsn_command.h"

#include <algorithm>
#include <span>
#include <variant>

#include "dsn/dsn_builder.h"
#include "dsn/dsn_performer.h"

namespace vendaro {
namespace {

std::string StatusLine(DsnCommand command, bool writes_ok) {
    std::string kind = command == DsnCommand::System ? "System" : "User";
    return kind + (writes_ok ? " DSN has been created." : " DSN could not be created.");
}

DsnOutcome Outcome(const DsnRequest& request, bool writes_ok) {
    DsnOutcome outcome;
    outcome.writes_ok = writes_ok;
    if (!request.unattended) {
        outcome.status_line = StatusLine(request.command, writes_ok);
    }
    return outcome;
}

}  // namespace

DsnOutcome CreateDsn(const DsnRequest& request, ScriptStore& store, Platform& platform) {
    // An empty name would put the values on the ODBC.INI key itself and, through the legacy
    // profile, address a whole section instead of one entry.
    if (request.name.empty()) return Outcome(request, false);

    platform.dialogs.SetBusy(true);
    const std::string raw_system_directory = platform.installer.SystemDirectory();
    const WriteList list = BuildWriteList(request, raw_system_directory, store);

    // The pointer is back to normal before the driver's own setup dialog opens.
    auto installer_step = std::find_if(list.begin(), list.end(), [](const WriteOp& op) {
        return std::holds_alternative<ConfigureDataSourceOp>(op);
    });
    const std::span<const WriteOp> all(list);
    const auto split = static_cast<std::size_t>(installer_step - list.begin());
    PerformResult writes = PerformWrites(all.first(split), store, platform);
    platform.dialogs.SetBusy(false);
    PerformResult rest = PerformWrites(all.subspan(split), store, platform);

    return Outcome(request, writes.writes_ok && rest.writes_ok);
}

}  // namespace vendaro

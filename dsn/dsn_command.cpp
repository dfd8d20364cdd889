#include "dsn/dsn_command.h"

#include <algorithm>
#include <span>
#include <variant>

#include "dsn/dsn_builder.h"
#include "dsn/dsn_name.h"
#include "dsn/dsn_performer.h"
#include "platform/failure.h"

namespace vendaro {
namespace {

std::string StatusLine(DsnCommand command, bool made) {
    std::string kind = command == DsnCommand::System ? "System" : "User";
    return kind + (made ? " DSN has been created." : " DSN could not be created.");
}

// `reason`: why the DSN was not made, when known.
DsnOutcome Outcome(const DsnRequest& request, bool writes_ok, std::string_view reason = {}) {
    DsnOutcome outcome;
    outcome.writes_ok = writes_ok;
    if (!writes_ok) outcome.failure = WithReason(StatusLine(request.command, false), reason);
    if (!request.unattended) {
        outcome.status_line = writes_ok ? StatusLine(request.command, true) : outcome.failure;
    }
    return outcome;
}

}  // namespace

DsnOutcome CreateDsn(const DsnRequest& request, ScriptStore& store, Platform& platform) {
    // Such a name would write into another data source, or into the lists beside them.
    const std::string problem = DsnNameProblem(request.name);
    if (!problem.empty()) return Outcome(request, false, problem);
    ClearFailure();

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

    const bool writes_ok = writes.writes_ok && rest.writes_ok;
    return Outcome(request, writes_ok, writes_ok ? std::string() : TakeFailure());
}

}  // namespace vendaro

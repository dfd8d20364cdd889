#include "dsn/dsn_performer.h"

#include <set>
#include <string>
#include <utility>
#include <variant>

#include "platform/failure.h"

namespace vendaro {
namespace {

class Performer {
  public:
    Performer(ScriptStore& store, Platform& platform) : store_(store), platform_(platform) {}

    void operator()(const CreateKeyOp& op) {
        // A failed create leaves no current key: the values meant for it fail in turn.
        current_ = platform_.registry.CreateKey(op.root, op.path);
        Count(current_ != 0);
    }

    void operator()(const SetValueOp& op) {
        Registry& reg = platform_.registry;
        switch (op.kind) {
            case ValueKind::String:
                Count(reg.SetString(current_, op.name, op.text));
                return;
            case ValueKind::Number:
                Count(reg.SetNumber(current_, op.name, op.number));
                return;
            case ValueKind::FlagByte:
                Count(reg.SetFlagByte(current_, op.name, op.number != 0 ? 1 : 0));
                return;
        }
        Count(false);
    }

    void operator()(const CloseKeyOp&) {
        // A registry may keep values until the key is closed: a failed close means they may
        // not have landed. A key that was never created has already counted as failed.
        if (current_ != 0) {
            Count(platform_.registry.CloseKey(current_));
        } else {
            platform_.registry.CloseKey(current_);
        }
        current_ = 0;
    }

    void operator()(const WriteProfileOp& op) {
        if (!platform_.legacy_odbc_ini) return;
        // The list only ever sets entries. An empty file would address the script file
        // itself, and an empty key or value would delete instead of set: refuse those.
        if (op.file.empty() || op.section.empty() || op.key.empty() || op.value.empty()) {
            Count(false);
            return;
        }
        // A data source's entries in one file belong together, and a file held by another
        // program would make each entry wait out the whole limit again: after one failure the
        // file's other entries fail at once.
        if (failed_files_.count(op.file) != 0) {
            Count(false);
            return;
        }
        const bool ok = store_.WriteIniString(op.section, op.key, op.value, op.file);
        if (!ok) failed_files_.insert(op.file);
        Count(ok);
    }

    void operator()(const ConfigureDataSourceOp& op) {
        // The driver may be absent or its dialog cancelled; neither undoes the writes. A
        // platform that could not run the driver's step at all, or keep what it wrote, says
        // why, and that fails the command.
        // The first failure's reason is the one kept.
        std::string earlier = TakeFailure();
        const bool ok =
            platform_.installer.ConfigDataSource(op.window, op.request, op.driver, op.attributes);
        std::string why = TakeFailure();
        if (!ok && !why.empty()) Count(false);
        if (!earlier.empty() || !ok)
            NoteFailure(earlier.empty() ? std::move(why) : std::move(earlier));
    }

    // The registry's gathered writes land before anything after this list runs.
    void Finish() { Count(platform_.registry.Flush()); }

    const PerformResult& result() const { return result_; }

  private:
    void Count(bool ok) {
        if (!ok) result_.writes_ok = false;
    }

    ScriptStore& store_;
    Platform& platform_;
    RegHandle current_ = 0;
    std::set<std::string> failed_files_;
    PerformResult result_;
};

}  // namespace

PerformResult PerformWrites(std::span<const WriteOp> ops, ScriptStore& store, Platform& platform) {
    Performer performer(store, platform);
    for (const WriteOp& op : ops) std::visit(performer, op);
    performer.Finish();
    return performer.result();
}

}  // namespace vendaro

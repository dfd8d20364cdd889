#include "ctl/vendaroctl.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <system_error>
#include <variant>

#include "ctl/compare.h"
#include "ctl/export.h"
#include "ctl/json.h"
#include "ctl/library.h"
#include "ctl/options.h"
#include "dsn/drivers.h"
#include "dsn/dsn_builder.h"
#include "dsn/dsn_name.h"
#include "dsn/dsn_performer.h"
#include "platform/failure.h"
#include "platform/ini_text.h"

namespace vendaro::ctl {
namespace {

// One data source of a run: what was found, what was done.
struct Item {
    std::string name;
    // Views of the script's row in the library, which outlives the items.
    std::string_view driver;  // the script's; empty for a name no script holds
    bool has_script = false;
    std::string_view description;  // the script's, as vendaro's list shows it
    std::optional<Comparison> comparison;
    std::string action;    // apply: "create", "update", "none"; remove: "remove", "none"
    bool changed = false;  // written (with --check: would be)
    std::string error;     // why it failed, when it did
    int status = kExitOk;  // this data source's share of the exit status
    std::optional<ConnectResult> connection;
    std::string exported;
};

// Which of two statuses the run ends with: bad input, then failures, then work to do.
int Worse(int a, int b) {
    auto rank = [](int s) {
        return s == kExitUsage ? 3 : s == kExitFailed ? 2 : s == kExitPending ? 1 : 0;
    };
    return rank(a) >= rank(b) ? a : b;
}

std::string Plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Whether the first section `section` of a profile's bytes holds a key line.
bool HasKeys(const std::optional<std::string>& bytes, const std::string& section) {
    if (!bytes) return false;
    const ini::Document doc(*bytes);
    const ini::Document::SectionLines lines = doc.FindSectionLines(section);
    for (std::size_t i = lines.header + 1; lines.count > 0 && i < lines.end; ++i) {
        const std::string_view line = doc.LineText(i);
        if (ini::ClassifyLine(line, 0, line.size()).kind == ini::LineKind::Key) return true;
    }
    return false;
}

// "DSN=name", braced when the name holds what would end or open a connection-string value.
std::string ConnectionString(const std::string& name) {
    const bool braced = name.find_first_of(";{}=") != std::string::npos || name.front() == ' ' ||
                        name.back() == ' ';
    return braced ? "DSN={" + name + "}" : "DSN=" + name;
}

class Runner {
  public:
    Runner(Environment& env, const Options& options, std::ostream& out, std::ostream& err)
        : env_(env),
          o_(options),
          out_(out),
          err_(err),
          root_(options.kind == DsnKind::System ? RegRoot::LocalMachine : RegRoot::CurrentUser) {}

    int Execute() {
        if (!OpenLibrary()) return kExitUsage;
        if (!Resolve()) return kExitUsage;
        system_directory_ = env_.platform.installer.SystemDirectory();
        for (Item& item : items_) {
            ClearFailure();
            if (item.status == kExitUsage) continue;
            switch (o_.command) {
                case Command::Check:
                case Command::Diff:
                    Compare(item);
                    break;
                case Command::Apply:
                    Apply(item);
                    break;
                case Command::Remove:
                    Remove(item);
                    break;
                case Command::Export:
                    Export(item);
                    break;
                case Command::Connect:
                    Connect(item);
                    break;
                default:
                    break;
            }
        }
        int status = kExitOk;
        for (const Item& item : items_) {
            status = Worse(status, item.status);
            if (!item.error.empty())
                err_ << "vendaroctl: " << item.name << ": " << item.error << "\n";
        }
        if (o_.json) {
            out_ << Json(status);
        } else {
            out_ << Text();
        }
        return status;
    }

    // A refusal before any data source was looked at.
    std::string Refusal() const { return refusal_; }

  private:
    bool Refuse(std::string text) {
        refusal_ = std::move(text);
        return false;
    }

    bool OpenLibrary() {
        std::string path = o_.library ? *o_.library : env_.default_library;
        std::error_code ignored;
        const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
        if (!absolute.empty()) path = absolute.string();
        std::string error;
        library_ = Library::Open(env_.platform.profile, path, env_.separator, error);
        library_path_ = path;
        return library_ != nullptr || Refuse(error);
    }

    bool Resolve() {
        if (o_.names.empty()) {
            items_.reserve(library_->rows().size());
            for (const ScriptRow& row : library_->rows()) {
                Item item;
                item.name = row.name;
                item.driver = row.driver;
                item.description = row.description;
                item.has_script = true;
                if (const std::string problem = DsnNameProblem(row.name); !problem.empty()) {
                    item.error = "the script's name cannot name a data source: " + problem;
                    item.status = kExitUsage;
                }
                items_.push_back(std::move(item));
            }
            return true;
        }
        for (const std::string& name : o_.names) {
            if (const std::string problem = DsnNameProblem(name); !problem.empty()) {
                return Refuse("\"" + name + "\" cannot name a data source: " + problem);
            }
            const ScriptRow* row = library_->Find(name);
            if (row == nullptr && o_.command != Command::Remove) {
                return Refuse("no script named \"" + name + "\" in " + library_path_);
            }
            Item item;
            item.name = row != nullptr ? row->name : name;
            item.has_script = row != nullptr;
            if (row != nullptr) item.driver = row->driver, item.description = row->description;
            items_.push_back(std::move(item));
        }
        return true;
    }

    WriteList ListOf(const Item& item, std::string_view driver) {
        WriteList list;
        ListInto(item, driver, list);
        return list;
    }

    void ListInto(const Item& item, std::string_view driver, WriteList& list) {
        DsnRequest& request = request_;  // its strings keep their room from one to the next
        request.command = o_.kind == DsnKind::System ? DsnCommand::System : DsnCommand::User;
        request.name = item.name;
        request.description = item.description;
        request.driver = driver;
        // vendaro NAME -ue / -se: no window is the installer's parent.
        request.unattended = true;
        BuildWriteList(request, system_directory_, library_->store(), list);
    }

    WriteList ListOf(const Item& item) { return ListOf(item, item.driver); }

    void Compare(Item& item) {
        auto kept = compared_lists_.find(item.driver);
        if (kept == compared_lists_.end()) {
            kept = compared_lists_.emplace(std::string(item.driver), WriteList()).first;
        }
        WriteList& list = kept->second;
        ListInto(item, item.driver, list);
        item.comparison = comparer_.Compare(list, env_.platform);
        switch (item.comparison->state) {
            case State::InSync:
                break;
            case State::Absent:
            case State::Drifted:
                item.status = kExitPending;
                break;
            case State::Unreadable:
                item.status = kExitFailed;
                item.error = item.comparison->error;
                break;
        }
    }

    void Apply(Item& item) {
        const WriteList list = ListOf(item);
        Compare(item);
        const State state = item.comparison->state;
        item.status = kExitOk;
        if (state == State::Unreadable) {
            // What cannot be read is not overwritten blind.
            item.status = kExitFailed;
            item.action = "none";
            return;
        }
        if (state == State::InSync) {
            item.action = "none";
            return;
        }
        item.action = state == State::Absent ? "create" : "update";
        item.changed = true;
        if (o_.check_only) {
            item.status = kExitPending;
            return;
        }
        ClearFailure();
        const PerformResult result = PerformWrites(list, library_->store(), env_.platform);
        if (!result.writes_ok) {
            item.status = kExitFailed;
            item.error = TakeFailure();
            if (item.error.empty()) item.error = "the data source could not be written";
        }
    }

    // The Windows directory's ODBC.INI entries of a Jet data source of this name.
    std::vector<WriteProfileOp> LegacyEntries(const Item& item) {
        std::vector<WriteProfileOp> entries;
        if (!env_.platform.legacy_odbc_ini) return entries;
        for (const WriteOp& op : ListOf(item, DriverOf(DriverId::Access).name)) {
            if (const auto* entry = std::get_if<WriteProfileOp>(&op)) entries.push_back(*entry);
        }
        return entries;
    }

    void Remove(Item& item) {
        Registry& registry = env_.platform.registry;
        bool present = false;
        bool failed = false;
        RegHandle key = 0;
        RegRead read = registry.OpenKeyForRead(root_, kOdbcIniKey + item.name, key);
        if (read == RegRead::Found) registry.CloseKey(key), present = true;
        failed = failed || read == RegRead::Failed;
        read = registry.OpenKeyForRead(root_, kDataSourceListKey, key);
        if (read == RegRead::Found) {
            RegValue value;
            const RegRead listed = registry.QueryValue(key, item.name, value);
            registry.CloseKey(key);
            present = present || listed == RegRead::Found;
            failed = failed || listed == RegRead::Failed;
        }
        failed = failed || read == RegRead::Failed;
        std::vector<WriteProfileOp> legacy;
        for (const WriteProfileOp& entry : LegacyEntries(item)) {
            const std::optional<std::string> bytes = env_.platform.profile.ReadAll(entry.file);
            if (bytes && ini::Document(*bytes).Get(entry.section, entry.key)) {
                legacy.push_back(entry);
            }
        }
        present = present || !legacy.empty();
        if (failed) {
            item.status = kExitFailed;
            item.action = "none";
            item.error = TakeFailure();
            return;
        }
        item.comparison = Comparison{present ? State::Drifted : State::Absent, {}, {}, {}};
        item.action = present ? "remove" : "none";
        item.changed = present;
        if (!present) return;
        if (o_.check_only) {
            item.status = kExitPending;
            return;
        }
        bool ok = registry.RemoveDataSource(root_, item.name);
        for (const WriteProfileOp& entry : legacy) {
            ok = library_->store().WriteIniString(entry.section, entry.key, "", entry.file) && ok;
            // The data source's own section goes with its last entry; the shared list stays.
            if (ok && ini::NamesEqual(entry.section, item.name) &&
                !HasKeys(env_.platform.profile.ReadAll(entry.file), entry.section)) {
                ok = library_->store().WriteIniString(entry.section, "", "", entry.file);
            }
        }
        if (!ok) {
            item.status = kExitFailed;
            item.error = TakeFailure();
            if (item.error.empty()) item.error = "the data source could not be removed";
        }
    }

    void Export(Item& item) {
        const WriteList list = ListOf(item);
#ifdef _WIN32
        const ExportFormat native = ExportFormat::Reg;
#else
        const ExportFormat native = ExportFormat::OdbcIni;
#endif
        item.exported = o_.format.value_or(native) == ExportFormat::Reg
                            ? ExportReg(list, env_.platform.registry, env_.platform.legacy_odbc_ini)
                            : ExportOdbcIni(list, env_.platform.legacy_odbc_ini);
    }

    void Connect(Item& item) {
        item.connection = env_.connector.Connect(ConnectionString(item.name), o_.timeout);
        if (item.connection->connected) return;
        item.status = kExitFailed;
        for (const OdbcDiagnostic& d : item.connection->diagnostics) {
            if (!item.error.empty()) item.error += " ";
            item.error += d.sqlstate + " " + d.message;
        }
        if (item.error.empty()) item.error = "the driver manager gave no reason";
    }

    // --- plain text ---------------------------------------------------------------------

    std::string StateText(const Item& item) const {
        const Comparison& c = *item.comparison;
        std::string text = StateWord(c.state);
        if (c.state == State::Drifted) {
            text += " (" + Plural(c.differences.size(), "value differs", "values differ") + ")";
        }
        return text;
    }

    std::string Line(const Item& item) const {
        if (item.status == kExitUsage) return "refused: " + item.error;
        switch (o_.command) {
            case Command::Check:
                return StateText(item) + (item.error.empty() ? "" : ": " + item.error);
            case Command::Apply: {
                if (item.comparison->state == State::Unreadable) return "unreadable: " + item.error;
                if (item.action == "none") return "in sync, untouched";
                const std::string done = item.action == "create" ? "created" : "updated";
                if (o_.check_only) return StateText(item) + ": would be " + done;
                if (!item.error.empty())
                    return StateText(item) + ": not " + done + ": " + item.error;
                return StateText(item) + ": " + done;
            }
            case Command::Remove:
                if (!item.error.empty()) return "not removed: " + item.error;
                if (!item.changed) return "absent, nothing to remove";
                return o_.check_only ? "present: would be removed" : "removed";
            default:
                return "";
        }
    }

    std::string Table() const {
        std::size_t width = 0;
        for (const Item& item : items_) width = std::max(width, item.name.size());
        std::string text;
        for (const Item& item : items_) {
            text += item.name + std::string(width - item.name.size() + 2, ' ') + Line(item) + "\n";
        }
        return text;
    }

    static std::string Shown(const std::string& value, const std::string& kind) {
        return kind.empty() ? "-"
                            : (value == kHidden ? value : "\"" + value + "\"") + " (" + kind + ")";
    }

    std::string DiffText(const Item& item) const {
        const Comparison& c = *item.comparison;
        std::string text =
            item.name + " (" + KindWord(o_.kind) + " data source): " + StateText(item);
        if (c.state == State::Unreadable) return text + ": " + item.error + "\n";
        text += "\n";
        auto rows = [&](const std::vector<ValueDiff>& diffs, bool extra) {
            std::size_t where = 0, name = 0, problem = 0;
            for (const ValueDiff& d : diffs) {
                where = std::max(where, d.where.size());
                name = std::max(name, d.name.size());
                problem = std::max(problem, std::string(ProblemWord(d.problem)).size());
            }
            for (const ValueDiff& d : diffs) {
                text += "  " + d.where + std::string(where - d.where.size() + 2, ' ') + d.name +
                        std::string(name - d.name.size() + 2, ' ');
                if (extra) {
                    text += Shown(d.found, d.found_kind) + "\n";
                    continue;
                }
                const std::string word = ProblemWord(d.problem);
                text += word + std::string(problem - word.size() + 2, ' ') + "want " +
                        Shown(d.expected, d.expected_kind) + ", found " +
                        (d.secret && d.problem != Problem::Missing
                             ? std::string(kHidden) +
                                   (d.problem == Problem::Different ? ", no match" : "")
                             : Shown(d.found, d.found_kind)) +
                        "\n";
            }
        };
        rows(c.differences, false);
        if (!c.extras.empty()) {
            text += "Extra values (creation leaves them in place; they are not drift):\n";
            rows(c.extras, true);
        }
        return text;
    }

    std::string ConnectText(const Item& item) const {
        const ConnectResult& r = *item.connection;
        if (!r.connected) return "";  // the reason went to stderr
        return item.name + ": connected to " + r.dbms_name + " " + r.dbms_version + "\n";
    }

    std::string Text() const {
        std::string text;
        switch (o_.command) {
            case Command::Diff:
                for (const Item& item : items_) text += DiffText(item);
                return text;
            case Command::Export:
                for (const Item& item : items_) text += item.exported;
                return text;
            case Command::Connect:
                for (const Item& item : items_) text += ConnectText(item);
                return text;
            default:
                return Table();
        }
    }

    // --- JSON -------------------------------------------------------------------------

    static void Diffs(JsonWriter& json, const char* key, const std::vector<ValueDiff>& diffs) {
        json.BeginArray(key);
        for (const ValueDiff& d : diffs) {
            json.BeginObject();
            json.String("where", d.where);
            json.String("value", d.name);
            json.String("problem", ProblemWord(d.problem));
            if (d.expected_kind.empty()) {
                json.Null("expected");
                json.Null("expected_kind");
            } else {
                json.String("expected", d.expected);
                json.String("expected_kind", d.expected_kind);
            }
            if (d.found_kind.empty()) {
                json.Null("found");
                json.Null("found_kind");
            } else {
                json.String("found", d.found);
                json.String("found_kind", d.found_kind);
            }
            json.Bool("secret", d.secret);
            json.EndObject();
        }
        json.EndArray();
    }

    std::string Json(int status) const {
        JsonWriter json;
        json.BeginObject();
        json.Number("schema", 1);
        json.String("command", CommandWord(o_.command));
        json.String("kind", KindWord(o_.kind));
        json.String("library", library_path_);
        json.Bool("check_only", o_.check_only);
        bool changed = false;
        for (const Item& item : items_) changed = changed || item.changed;
        json.Bool("changed", changed);
        json.Number("status", status);
        json.BeginArray("data_sources");
        for (const Item& item : items_) {
            json.BeginObject();
            json.String("name", item.name);
            json.String("kind", KindWord(o_.kind));
            if (item.has_script) {
                json.String("driver", item.driver);
            } else {
                json.Null("driver");
            }
            if (item.comparison && o_.command == Command::Remove) {
                // Present or absent is all a removal looks at.
                json.String("state", item.changed ? "present" : "absent");
            } else if (item.comparison) {
                json.String("state", StateWord(item.comparison->state));
            } else {
                json.Null("state");
            }
            json.Number(
                "differing",
                item.comparison ? static_cast<long long>(item.comparison->differences.size()) : 0);
            json.String("action", item.action.empty() ? "none" : item.action);
            json.Bool("changed", item.changed);
            if (item.comparison && o_.command != Command::Remove) {
                Diffs(json, "differences", item.comparison->differences);
                Diffs(json, "extra", item.comparison->extras);
            }
            if (item.connection) {
                json.Bool("connected", item.connection->connected);
                json.String("dbms", item.connection->dbms_name);
                json.String("dbms_version", item.connection->dbms_version);
                json.BeginArray("diagnostics");
                for (const OdbcDiagnostic& d : item.connection->diagnostics) {
                    json.BeginObject();
                    json.String("sqlstate", d.sqlstate);
                    json.Number("native", d.native);
                    json.String("message", d.message);
                    json.EndObject();
                }
                json.EndArray();
            }
            if (o_.command == Command::Export) json.String("text", item.exported);
            if (item.error.empty()) {
                json.Null("error");
            } else {
                json.String("error", item.error);
            }
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
        return json.Text();
    }

    Environment& env_;
    const Options& o_;
    std::ostream& out_;
    std::ostream& err_;
    RegRoot root_;
    std::unique_ptr<Library> library_;
    std::string library_path_;
    std::string system_directory_;
    ctl::Comparer comparer_;  // one for the run: its buffers serve every data source
    // The same for the lists the comparisons are made against: one per driver, so that each
    // list is written over one of its own shape.
    std::map<std::string, WriteList, std::less<>> compared_lists_;
    DsnRequest request_;
    std::vector<Item> items_;
    std::string refusal_;
};

std::string RefusalJson(const Options& o, const std::string& error) {
    JsonWriter json;
    json.BeginObject();
    json.Number("schema", 1);
    json.String("command", CommandWord(o.command));
    json.Bool("changed", false);
    json.Number("status", kExitUsage);
    json.BeginArray("data_sources");
    json.EndArray();
    json.String("error", error);
    json.EndObject();
    return json.Text();
}

}  // namespace

std::string HelpText() {
    return "usage: vendaroctl COMMAND [NAME...] [OPTION...]\n"
           "\n"
           "Checks, applies, diffs, removes, exports and test-connects the ODBC data sources\n"
           "of a Vendaro script library.\n"
           "\n"
           "commands:\n"
           "  check [NAME...]       absent, in sync or drifted, for each script (all when none\n"
           "                        is named)\n"
           "  diff NAME             value by value: what creation writes against what is there\n"
           "  apply NAME... [--check]   create each data source that is absent or drifted,\n"
           "                        as vendaro NAME -ue (-se) does; leave one in sync alone\n"
           "  remove NAME... [--check]  remove the data source, its list entry and subkeys\n"
           "  export NAME [--format reg|odbcini]   print what apply would write\n"
           "  connect NAME [--timeout S]   open and close a connection (default 15 s)\n"
           "\n"
           "options:\n"
           "  --library FILE        the script library (default: vendaro.ini beside the program)\n"
           "  --user, --system      User (default) or System data sources\n"
           "  --check               apply, remove: change nothing, say what would be done\n"
           "  --json                one JSON document on standard output (schema 1)\n"
           "  --help, --version\n"
           "\n"
           "exit status: 0 in sync / done / connected; 1 could not read, write or connect;\n"
           "2 bad command line, no such script, unreadable library or unusable name;\n"
           "3 absent or drifted (check, diff), something to do (apply, remove with --check).\n"
           "Passwords are shown as (hidden). See vendaroctl(1).\n";
}

namespace {

int RunCommand(const std::vector<std::string>& args, Environment& env, std::ostream& out,
               std::ostream& err) {
    const ParseResult parsed = ParseArguments(args);
    const Options& o = parsed.options;
    auto refuse = [&](const std::string& error, bool hint) {
        err << "vendaroctl: " << error << (hint ? " (vendaroctl --help lists the commands)" : "")
            << "\n";
        if (o.json) out << RefusalJson(o, error);
        return kExitUsage;
    };
    if (!parsed.error.empty()) return refuse(parsed.error, true);
    if (o.command == Command::Help) {
        out << HelpText();
        return kExitOk;
    }
    if (o.command == Command::Version) {
        out << "vendaroctl " << env.version << "\n";
        return kExitOk;
    }
    Runner runner(env, o, out, err);
    const int status = runner.Execute();
    if (!runner.Refusal().empty()) return refuse(runner.Refusal(), false);
    return status;
}

}  // namespace

int Run(const std::vector<std::string>& args, Environment& env, std::ostream& out,
        std::ostream& err) {
    const int status = RunCommand(args, env, out, err);
    // A configuration tool reads the output: output that could not be written (a full disk, a
    // closed pipe) is a failure, not the status of the command.
    if (!out.flush()) {
        err << "vendaroctl: the output could not be written (a full disk or a closed pipe)\n";
        return kExitFailed;
    }
    return status;
}

}  // namespace vendaro::ctl

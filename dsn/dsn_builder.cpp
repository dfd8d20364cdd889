#include "dsn/dsn_builder.h"

#include "dsn/conversions.h"
#include "store/cipher.h"

namespace vendaro {
namespace {

// Reads the script's keys and appends the values they turn into.
class ListWriter {
  public:
    ListWriter(WriteList& list, ScriptStore& store, const std::string& section)
        : list_(list), store_(store), section_(section) {}

    std::string Key(const char* key, const char* def = "") {
        return store_.ReadIniString(section_, key, def);
    }

    void Add(WriteOp op) { list_.push_back(std::move(op)); }
    void String(std::string name, std::string text) {
        Add(StringValue(std::move(name), std::move(text)));
    }
    void StringOfKey(const char* name) { String(name, Key(name)); }
    void Number(const char* name, std::int32_t number) { Add(NumberValue(name, number)); }
    void NumberOfKeyNamed(const char* name, const char* def = "") {
        Number(name, NumberOfKey(Key(name, def)));
    }
    void Flag(const char* name) { Add(FlagByteValue(name, FlagOfKey(Key(name)))); }
    void InvertedFlag(const char* name) { Add(FlagByteValue(name, InvertedFlagOfKey(Key(name)))); }
    void Password(const char* name) { String(name, DecipherText(Key(name), kCipherKey)); }

  private:
    WriteList& list_;
    ScriptStore& store_;
    const std::string& section_;
};

void AddAsaValues(ListWriter& w, const DsnRequest& r) {
    w.String("Description", r.description);
    for (const char* key : {"IsolationLevel", "KeysInSQLStatistics", "Delphi", "PreventNotCapable",
                            "LazyAutoCommit", "DescribeCursor", "Integrated", "UID"}) {
        w.StringOfKey(key);
    }
    w.Password("PWD");
    for (const char* key :
         {"EngineName", "Start", "Database", "DatabaseFile", "AutoStart", "AutoStop", "CommLinks",
          "Encryption", "LivenessTimeout", "CommBufferSize", "CommBufferSpace", "ConnectionName",
          "Charset", "DisableMultiRowFetch", "LogFile", "Debug"}) {
        w.StringOfKey(key);
    }
    w.Add(CloseKeyOp{});
}

void AddSqlServerValues(ListWriter& w) {
    // "Description" here is the script's key, not the list row.
    for (const char* key : {"Database", "Description", "Driver", "LastUser", "Server"}) {
        w.StringOfKey(key);
    }
    w.Add(CloseKeyOp{});
}

// The two entries that programs reading the Windows directory's ODBC.INI look for.
void AddLegacyEntries(ListWriter& w, const DsnRequest& r, const std::string& system_dir) {
    std::string file = LegacyOdbcIniFile(system_dir);
    w.Add(WriteProfileOp{file, kLegacyDataSourcesSection, r.name, r.driver + " (32 bit)"});
    w.Add(WriteProfileOp{file, r.name, "Driver32", JetDriverFile(system_dir)});
}

void AddAccessValues(ListWriter& w, const DsnRequest& r, RegRoot root, const std::string& key_path,
                     const std::string& system_dir) {
    w.String("Description", r.description);
    w.StringOfKey("DBQ");
    w.String("Driver", JetDriverFile(system_dir));
    w.StringOfKey("DefaultDir");
    w.Number("DriverId", 25);
    w.Flag("Exclusive");
    w.String("FIL", w.Key("FIL", "MS Access;"));
    w.Password("PWD");
    w.Flag("ReadOnly");
    w.Flag("ExtendedAnsiSQL");
    w.NumberOfKeyNamed("SafeTransactions");
    w.StringOfKey("SystemDB");
    w.StringOfKey("UID");
    w.Add(CloseKeyOp{});

    w.Add(CreateKeyOp{root, key_path + "\\Engines\\Jet"});
    w.String("Driver", w.Key("DriverJet"));
    w.StringOfKey("ImplicitCommitSync");
    w.NumberOfKeyNamed("MaxBufferSize");
    w.NumberOfKeyNamed("MaxScanRows");
    w.NumberOfKeyNamed("PageTimeout");
    w.NumberOfKeyNamed("Threads", "3");
    w.StringOfKey("UserCommitSync");
    w.Add(CloseKeyOp{});
    AddLegacyEntries(w, r, system_dir);
}

void AddDbaseValues(ListWriter& w, const DsnRequest& r, RegRoot root, const std::string& key_path,
                    const std::string& system_dir) {
    w.String("Description", r.description);
    // An empty DefaultDir leaves the one an earlier run wrote.
    if (std::string dir = w.Key("DefaultDir"); !dir.empty()) w.String("DefaultDir", dir);
    w.String("Driver", JetDriverFile(system_dir));
    std::string fil = w.Key("FIL");
    if (fil == "dBase III") {
        w.Number("DriverId", 21);
    } else if (fil == "dBase IV") {
        w.Number("DriverId", 277);
    } else if (fil == "dBase 5.0") {
        w.Number("DriverId", 533);
    }
    w.String("FIL", fil == "dBase 5.0" ? fil : fil + ";");
    w.Flag("Exclusive");
    w.Number("SafeTransactions", 0);
    w.String("UID", "");
    w.Add(CloseKeyOp{});

    w.Add(CreateKeyOp{root, key_path + "\\Engines\\Xbase"});
    w.String("ImplicitCommitSync", "");
    w.NumberOfKeyNamed("PageTimeout");
    w.Number("Threads", 3);
    w.String("UserCommitSync", "Yes");
    w.StringOfKey("CollatingSequence");
    // The editor stores "1" when deleted rows are to be shown; the driver's flag hides them.
    w.InvertedFlag("Deleted");
    w.Flag("Statistics");
    w.Add(CloseKeyOp{});
    AddLegacyEntries(w, r, system_dir);
}

}  // namespace

RegRoot RootOf(DsnCommand command) {
    return command == DsnCommand::System ? RegRoot::LocalMachine : RegRoot::CurrentUser;
}

bool IsUnattended(const std::string& start_mode) {
    return start_mode == "ue" || start_mode == "se";
}

std::string AttributeString(const std::string& name) {
    std::string attributes = "DSN=" + name;
    attributes.push_back('\0');
    return attributes;
}

WriteList BuildWriteList(const DsnRequest& request, const std::string& raw_system_directory,
                         ScriptStore& store) {
    const RegRoot root = RootOf(request.command);
    const std::string system_dir = SystemDirectoryOf(raw_system_directory);
    const std::string key_path = kOdbcIniPath + request.name;

    WriteList list;
    ListWriter w(list, store, request.name);
    w.Add(CreateKeyOp{root, key_path});
    const std::string& driver = request.driver;
    if (driver == kAsaDriver) {
        AddAsaValues(w, request);
    } else if (driver == kAccessDriver) {
        AddAccessValues(w, request, root, key_path, system_dir);
    } else if (driver == kDbaseDriver) {
        AddDbaseValues(w, request, root, key_path, system_dir);
    } else if (driver == kSqlServerDriver) {
        AddSqlServerValues(w);
    } else {
        // FoxPro and unknown drivers: the key is registered but left empty.
        w.Add(CloseKeyOp{});
    }

    w.Add(CreateKeyOp{root, kDataSourcesPath});
    w.String(request.name, driver);
    w.Add(CloseKeyOp{});

    if (request.command == DsnCommand::User) {
        if (IsUnattended(request.start_mode)) {
            w.Add(ConfigureDataSourceOp{0, ODBC_ADD_DSN_REQUEST, driver,
                                        AttributeString(request.name)});
        } else {
            w.Add(ConfigureDataSourceOp{request.main_window, ODBC_CONFIG_DSN_REQUEST, driver,
                                        AttributeString(request.name)});
        }
    }
    return list;
}

}  // namespace vendaro

#include "dsn/drivers.h"

#include "dsn/conversions.h"
#include "dsn/script_values.h"
#include "store/cipher.h"

namespace vendaro {
namespace {

inline constexpr const char* kLegacyDataSourcesSection = "ODBC 32 bit Data Sources";

// The two entries that programs reading the Windows directory's ODBC.INI look for.
void AddLegacyEntries(ScriptValues& w) {
    const DsnRequest& r = w.request;
    std::string file = LegacyOdbcIniFile(w.system_dir);
    w.ProfileEntry(file, kLegacyDataSourcesSection, r.name, r.driver + " (32 bit)");
    w.ProfileEntry(file, r.name, "Driver32", JetDriverFile(w.system_dir));
}

}  // namespace

void ScriptValues::NumberOfKeyNamed(const char* name, const char* def) {
    Number(name, NumberOfKey(Key(name, def)));
}
void ScriptValues::Flag(const char* name) {
    Value(name, ValueKind::FlagByte, FlagOfKey(Key(name)));
}
void ScriptValues::InvertedFlag(const char* name) {
    Value(name, ValueKind::FlagByte, InvertedFlagOfKey(Key(name)));
}
void ScriptValues::Password(const char* name) {
    String(name, DecipherText(std::string(Key(name)), kCipherKey));
}

namespace write_lists {

void AdaptiveServer(ScriptValues& w) {
    w.String("Description", w.request.description);
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
    w.CloseKey();
}

void SqlServer(ScriptValues& w) {
    // "Description" here is the script's key, not the list row.
    for (const char* key : {"Database", "Description", "Driver", "LastUser", "Server"}) {
        w.StringOfKey(key);
    }
    w.CloseKey();
}

void Access(ScriptValues& w) {
    w.String("Description", w.request.description);
    w.StringOfKey("DBQ");
    w.String("Driver", JetDriverFile(w.system_dir));
    w.StringOfKey("DefaultDir");
    w.Number("DriverId", 25);
    w.Flag("Exclusive");
    w.String("FIL", w.Key("FIL", kAccessDefaultFil));
    w.Password("PWD");
    w.Flag("ReadOnly");
    w.Flag("ExtendedAnsiSQL");
    w.NumberOfKeyNamed("SafeTransactions");
    w.StringOfKey("SystemDB");
    w.StringOfKey("UID");
    w.CloseKey();

    w.CreateKey(w.root, w.key_path + "\\Engines\\Jet");
    w.String("Driver", w.Key("DriverJet"));
    w.StringOfKey("ImplicitCommitSync");
    w.NumberOfKeyNamed("MaxBufferSize");
    w.NumberOfKeyNamed("MaxScanRows");
    w.NumberOfKeyNamed("PageTimeout");
    w.NumberOfKeyNamed("Threads", kAccessDefaultThreads);
    w.StringOfKey("UserCommitSync");
    w.CloseKey();
    AddLegacyEntries(w);
}

void Dbase(ScriptValues& w) {
    w.String("Description", w.request.description);
    // An empty DefaultDir leaves the one an earlier run wrote.
    if (const std::string_view dir = w.Key("DefaultDir"); !dir.empty()) w.String("DefaultDir", dir);
    w.String("Driver", JetDriverFile(w.system_dir));
    const std::string fil(w.Key("FIL"));
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
    w.CloseKey();

    w.CreateKey(w.root, w.key_path + "\\Engines\\Xbase");
    w.String("ImplicitCommitSync", "");
    w.NumberOfKeyNamed("PageTimeout");
    w.Number("Threads", 3);
    w.String("UserCommitSync", "Yes");
    w.StringOfKey("CollatingSequence");
    // The editor stores "1" when deleted rows are to be shown; the driver's flag hides them.
    w.InvertedFlag("Deleted");
    w.Flag("Statistics");
    w.CloseKey();
    AddLegacyEntries(w);
}

}  // namespace write_lists
}  // namespace vendaro

// The script store as rows: the file before, one call, and what it answers, the effects it
// makes on the profile and the file after. Each row runs twice: on the platform's profile
// itself and through a recording of it.
#include "store/script_store.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/native_profile.h"
#include "testing/recording_platform.h"
#include "testing/scratch.h"

namespace vendaro::test {

bool RunningUnderWine();

namespace {

using namespace std::string_literals;

#ifdef _WIN32
constexpr char kSeparator = '\\';
const std::string kExe = "vendaro.exe";
#else
constexpr char kSeparator = '/';
const std::string kExe = "vendaro";
#endif

std::string Show(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\0' ? "\\0" : std::string(1, c);
    }
    return out;
}

using Op = std::function<std::string(ScriptStore&, const std::string& dir)>;

Op Write(std::string section, std::string key, std::string value) {
    return [=](ScriptStore& s, const std::string&) {
        return s.WriteIniString(section, key, value) ? "true"s : "false"s;
    };
}
Op Read(std::string section, std::string key, std::string def) {
    return [=](ScriptStore& s, const std::string&) { return s.ReadIniString(section, key, def); };
}
Op Section(std::string section, std::vector<std::pair<std::string, std::string>> keys) {
    return [=](ScriptStore& s, const std::string&) {
        SectionKeys out;
        for (const auto& [k, v] : keys) out.Write(k, v);
        return s.WriteSection(section, out) ? "true"s : "false"s;
    };
}
Op Copy(std::string source, std::string name) {
    return [=](ScriptStore& s, const std::string&) {
        const CopyResult r = s.CopySection(source, name);
        return r == CopyResult::Copied ? "Copied"s : r == CopyResult::NoFile ? "NoFile" : "Failed";
    };
}
std::string List(ScriptStore& s, const std::string&) {
    std::string out;
    for (const ScriptRow& row : s.ListScripts()) {
        out += row.name + "|" + row.description + "|" + row.driver + ";";
    }
    return out;
}

const char* const kTwo =
    "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=db1\r\n"
    "[Stock]\r\nDSN_Driver=Access\r\nDBQ=C:\\stock.mdb\r\n";
const char* const kSame = "<same>";

struct Row {
    const char* what;
    const char* before;  // vendaro.ini; nullptr: no file
    Op op;
    std::string answer;
    std::vector<std::string> effects;  // "<ini>" stands for the file's path
    const char* after = kSame;         // nullptr: no file
};

std::vector<Row> Rows() {
    const std::vector<std::string> none;
    return {
        {"a read of a missing file gives the default", nullptr, Read("Sales", "k", "none"), "none",
         none, nullptr},
        {"names match in any case; the value keeps its own", kTwo,
         Read("sales", "dsn_driver", "none"), "SQL Server", none},
        {"a missing key gives the default", kTwo, Read("Sales", "DBQ", "none"), "none", none},
        {"a write creates the file",
         nullptr,
         Write("Sales", "DSN_Driver", "SQL Server"),
         "true",
         {"ProfileSet <ini>|Sales|DSN_Driver=SQL Server"},
         "[Sales]\r\nDSN_Driver=SQL Server\r\n"},
        {"an empty value removes the key",
         kTwo,
         Write("Sales", "Server", ""),
         "true",
         {"ProfileDeleteKey <ini>|Sales|Server"},
         "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n"
         "[Stock]\r\nDSN_Driver=Access\r\nDBQ=C:\\stock.mdb\r\n"},
        {"an empty key removes the section",
         kTwo,
         Write("SALES", "", ""),
         "true",
         {"ProfileDeleteSection <ini>|SALES"},
         "[Stock]\r\nDSN_Driver=Access\r\nDBQ=C:\\stock.mdb\r\n"},
        {"removing from a missing file creates none",
         nullptr,
         Write("Sales", "k", ""),
         "true",
         {"ProfileDeleteKey <ini>|Sales|k"},
         nullptr},
        {"spaces at the ends of names are allowed",
         kTwo,
         Write(" Stock ", " FIL ", "dBase"),
         "true",
         {"ProfileSet <ini>| Stock | FIL =dBase"},
         "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=db1\r\n"
         "[Stock]\r\nDSN_Driver=Access\r\nDBQ=C:\\stock.mdb\r\nFIL=dBase\r\n"},
        {"a tab inside a name is kept",
         nullptr,
         Write("a\tb", "c\td", "v"),
         "true",
         {"ProfileSet <ini>|a\tb|c\td=v"},
         "[a\tb]\r\nc\td=v\r\n"},
        {"a removal may name what could not be written",
         kTwo,
         Write("Sa]les", "a=b", ""),
         "true",
         {"ProfileDeleteKey <ini>|Sa]les|a=b"}},
        {"a CR in a section", kTwo, Write("a\rb", "k", "v"), "false", none},
        {"a LF in a key", kTwo, Write("Sales", "a\nb", "v"), "false", none},
        {"a NUL in a value", kTwo, Write("Sales", "k", "a\0b"s), "false", none},
        {"a line break in a section to remove", kTwo, Write("Sales\r\n", "", ""), "false", none},
        {"a line break in a key to remove", kTwo, Write("Sales", "k\n", ""), "false", none},
        {"a refused write creates no file", nullptr, Write("Sales", "k", "a\r\n[Evil]"), "false",
         none, nullptr},
        {"a section holding ]", kTwo, Write("Sales]x", "k", "v"), "false", none},
        {"a key holding =", kTwo, Write("Sales", "a=b", "v"), "false", none},
        {"a key starting with [", kTwo, Write("Sales", "[Evil", "v"), "false", none},
        {"a key starting with ;", kTwo, Write("Sales", ";k", "v"), "false", none},
        {"a key starting with a tab", kTwo, Write("Sales", "\tk", "v"), "false", none},
        {"a key ending with a tab", kTwo, Write("Sales", "k\t", "v"), "false", none},
        {"a section starting with a tab", kTwo, Write("\tSales", "k", "v"), "false", none},
        {"a section ending with a vertical tab", kTwo, Write("Sales\v", "k", "v"), "false", none},
        {"a key of a tab after a space", kTwo, Write("Sales", " \tk", "v"), "false", none},
        {"WriteSection: changed, removed and new keys as one write",
         kTwo,
         Section("Sales", {{"Description", "All"}, {"Server", ""}, {"Database", "pubs"}}),
         "true",
         {"ProfileSet <ini>|Sales|Description=All", "ProfileDeleteKey <ini>|Sales|Server",
          "ProfileSet <ini>|Sales|Database=pubs"},
         "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=All\r\nDatabase=pubs\r\n"
         "[Stock]\r\nDSN_Driver=Access\r\nDBQ=C:\\stock.mdb\r\n"},
        {"WriteSection stops before a refused key",
         kTwo,
         Section("Stock", {{"FIL", "x"}, {"a=b", "v"}, {"k", "z"}}),
         "false",
         {"ProfileSet <ini>|Stock|FIL=x"},
         "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=db1\r\n"
         "[Stock]\r\nDSN_Driver=Access\r\nDBQ=C:\\stock.mdb\r\nFIL=x\r\n"},
        {"WriteSection refuses an empty key: it would remove the section", kTwo,
         Section("Sales", {{"", ""}, {"k", "v"}}), "false", none},
        {"WriteSection to a section holding ] writes nothing", kTwo,
         Section("Sa]les", {{"k", "v"}}), "false", none},
        {"WriteSection with nothing to write", nullptr, Section("Sales", {}), "true", none,
         nullptr},
        {"a listing of a missing file", nullptr, List, "", none, nullptr},
        {"a listing of an empty file", "", List, "", none},
        {"a listing: every header line in file order, keys of the first of each name",
         "[Sales]\r\nDescription=first\r\nDSN_Driver=SQL Server\r\n[SALES]\r\nDescription=2\r\n"
         "[Sales] \r\n [Hidden]\r\n[\r\n[]\r\n[a b]\nDSN_Driver=x\r[x]y\r\n[open\r\nk=[v]\r\n[d]",
         List, "Sales|first|SQL Server;SALES|first|SQL Server;Sales]||;a b||x;x]||;ope||;d||;",
         none},
        {"a copy: a CR line, the header and the trimmed key lines, no last line end",
         "[Sales]\r\n  DSN_Driver=SQL Server  \r\nServer=db1\r\n[Stock]\r\nk=v\r\n",
         Copy("sales", "Sales 2"),
         "Copied",
         {"ProfileAppend <ini>|\r\r\n[Sales 2]\r\nDSN_Driver=SQL Server\r\nServer=db1"},
         "[Sales]\r\n  DSN_Driver=SQL Server  \r\nServer=db1\r\n[Stock]\r\nk=v\r\n"
         "\r\r\n[Sales 2]\r\nDSN_Driver=SQL Server\r\nServer=db1"},
        {"a copy stops at a blank line",
         "[Sales]\r\nk=1\r\n   \r\nj=2\r\n",
         Copy("Sales", "C"),
         "Copied",
         {"ProfileAppend <ini>|\r\r\n[C]\r\nk=1"},
         "[Sales]\r\nk=1\r\n   \r\nj=2\r\n\r\r\n[C]\r\nk=1"},
        {"a copy stops at an indented header; the source is the first, untrimmed",
         " [S]\r\nk=0\r\n[s]\r\nk=1\r\n  [Next]\r\nj=2\r\n[S]\r\nk=3",
         Copy("S", "C"),
         "Copied",
         {"ProfileAppend <ini>|\r\r\n[C]\r\nk=1"},
         " [S]\r\nk=0\r\n[s]\r\nk=1\r\n  [Next]\r\nj=2\r\n[S]\r\nk=3\r\r\n[C]\r\nk=1"},
        {"a copy takes the last line of the file",
         "[S]\r\nk=1\r\nj=2",
         Copy("S", "C"),
         "Copied",
         {"ProfileAppend <ini>|\r\r\n[C]\r\nk=1\r\nj=2"},
         "[S]\r\nk=1\r\nj=2\r\r\n[C]\r\nk=1\r\nj=2"},
        {"a copy of a missing source is the header alone",
         "[S]\r\n",
         Copy("T", "C"),
         "Copied",
         {"ProfileAppend <ini>|\r\r\n[C]\r\n"},
         "[S]\r\n\r\r\n[C]\r\n"},
        {"a copy into a missing file", nullptr, Copy("S", "C"), "NoFile", none, nullptr},
        {"a copy into an empty file", "", Copy("S", "C"), "NoFile", none},
        {"a copy named with ]", kTwo, Copy("Sales", "a]b"), "Failed", none},
        {"a copy named with a NUL", kTwo, Copy("Sales", "a\0b"s), "Failed", none},
        {"a copy named with a LF", kTwo, Copy("Sales", "a\nb"), "Failed", none},
        {"a copy named with a CR", kTwo, Copy("Sales", "a\rb"), "Failed", none},
        {"a copy named with a tab at its end", kTwo, Copy("Sales", "ab\t"), "Failed", none},
        {"FileExists of a missing file", nullptr,
         [](ScriptStore& s, auto&) { return s.FileExists(s.ScriptFile()) ? "yes"s : "no"s; }, "no",
         none, nullptr},
        {"FileExists of an empty file", "",
         [](ScriptStore& s, auto&) { return s.FileExists(s.ScriptFile()) ? "yes"s : "no"s; }, "no",
         none},
        {"FileExists of a one-byte file", "x",
         [](ScriptStore& s, auto&) { return s.FileExists(s.ScriptFile()) ? "yes"s : "no"s; }, "yes",
         none},
        {"FileExists of a folder", nullptr,
         [](ScriptStore& s, auto& dir) { return s.FileExists(dir) ? "yes"s : "no"s; }, "no", none,
         nullptr},
        {"an explicit file is read and written instead",
         kTwo,
         [](ScriptStore& s, const std::string& dir) {
             const std::string other = dir + kSeparator + "ODBC.INI";
             std::string out = std::to_string(s.WriteIniString("D", "Sales", "Driver", other));
             out += s.ReadIniString("D", "Sales", "", other);
             return out + s.ReadIniString("Sales", "Server");
         },
         "1Driverdb1",
         {"ProfileSet <dir>ODBC.INI|D|Sales=Driver"}},
        {"a write into a missing folder fails",
         nullptr,
         [](ScriptStore& s, const std::string& dir) {
             const std::string file = dir + kSeparator + "no" + kSeparator + "v.ini";
             return std::to_string(s.WriteIniString("S", "k", "v", file));
         },
         "0",
         {"ProfileSet <dir>no" + std::string(1, kSeparator) + "v.ini|S|k=v"},
         nullptr},
    };
}

}  // namespace

TEST_CASE("the script store, row by row") {
    const bool wine = RunningUnderWine();
    for (const Row& row : Rows()) {
        CAPTURE(std::string(row.what));
        for (const bool recorded : {false, true}) {
            TempDir dir;
            const std::string base = dir.path().string();
            const std::string ini = base + kSeparator + "vendaro.ini";
            if (row.before != nullptr) WriteFile(ini, row.before);
            std::unique_ptr<Profile> native = MakeNativeProfile();
            RecordingPlatform recording(*native);
            ScriptStore store(recorded ? recording.profile() : *native, base, kExe, kSeparator);
            CHECK(Show(row.op(store, base)) == Show(row.answer));
            if (recorded) {
                std::vector<std::string> expected = row.effects;
                for (std::string& line : expected) {
                    for (const auto& [mark, text] :
                         {std::pair{"<ini>"s, ini}, std::pair{"<dir>"s, base + kSeparator}}) {
                        if (line.find(mark) != std::string::npos) {
                            line.replace(line.find(mark), mark.size(), text);
                        }
                    }
                    line = Show(line);
                }
                for (std::string& line : recording.calls) line = Show(line);
                CHECK(recording.calls == expected);
            }
            const char* after = row.after == kSame ? row.before : row.after;
            if (after == nullptr) {
                CHECK_FALSE(std::filesystem::exists(ini));
            } else if (!wine || row.before == nullptr || row.after == kSame) {
                // Wine's kernel32 rewrites the whole file on an edit.
                CHECK(Show(ReadFile(ini)) == Show(after));
            }
        }
    }
}

TEST_CASE("AppDir, ScriptFile and IniFile") {
    struct Case {
        const char *dir, *exe;
        char separator;
        const char *app_dir, *ini;
    };
    for (const Case& c :
         {Case{"C:\\Tools\\V", "vendaro.exe", '\\', "C:\\Tools\\V\\", "C:\\Tools\\V\\vendaro.ini"},
          Case{"C:\\", "vendaro.exe", '\\', "C:\\", "C:\\vendaro.ini"},
          Case{"/opt/v", "tool.v2.exe", '/', "/opt/v/", "/opt/v/tool.v2.ini"},
          Case{"/opt/v/", "vendaro", '/', "/opt/v/", "/opt/v/vendaro.ini"},
          Case{"", "x.exe", '/', "/", "/x.ini"}}) {
        std::unique_ptr<Profile> profile = MakeNativeProfile();
        ScriptStore store(*profile, c.dir, c.exe, c.separator);
        CHECK(store.AppDir() == c.app_dir);
        CHECK(store.ScriptFile() == std::string(c.app_dir) + "vendaro.ini");
        CHECK(store.IniFile() == c.ini);
    }
}

TEST_CASE(
    "a program of another name lists the names of vendaro.ini with the keys of its own file") {
    TempDir dir;
    const std::string base = dir.path().string();
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    ScriptStore store(*profile, base, "tool.exe", kSeparator);
    WriteFile(base + kSeparator + "tool.ini", "[A]\r\nDescription=own\r\n[B]\r\nDSN_Driver=d\r\n");
    CHECK(List(store, base).empty());
    WriteFile(base + kSeparator + "vendaro.ini", "[A]\r\nDescription=listed\r\n[C]\r\n");
    CHECK(List(store, base) == "A|own|;C||;");
}

TEST_CASE("a failing write is reported, and a series stops at it") {
    TempDir dir;
    const std::string base = dir.path().string();
    std::unique_ptr<Profile> native = MakeNativeProfile();
    RecordingPlatform recording(*native);
    ScriptStore store(recording.profile(), base, kExe, kSeparator);
    WriteFile(base + kSeparator + "vendaro.ini", "[S]\r\nk=v\r\n");
    SectionKeys keys;
    for (const char* key : {"a", "b", "c"}) keys.Write(key, "v");
    for (int nth = 1; nth <= 3; ++nth) {
        recording.calls.clear();
        recording.fail_nth = nth;
        CHECK_FALSE(store.WriteSection("S", keys));
        CHECK(recording.calls.size() == static_cast<std::size_t>(nth));
    }
    recording.fail_nth = 1;
    const std::vector<std::function<bool()>> writes = {
        [&] { return store.WriteIniString("S", "a", "w"); },
        [&] { return store.WriteIniString("S", "a", ""); },
        [&] { return store.WriteIniString("S", "", ""); },
        [&] { return store.CopySection("S", "T") != CopyResult::WriteFailed; },
    };
    for (const auto& write : writes) {
        recording.calls.clear();
        CHECK_FALSE(write());
    }
    CHECK(ReadFile(base + kSeparator + "vendaro.ini") == "[S]\r\nk=v\r\na=v\r\nb=v\r\n");
}

}  // namespace vendaro::test

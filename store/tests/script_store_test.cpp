// The script store as the rows of data/script_store_cases.txt: the file before, one call, its
// answer, the effects it makes on the profile and the file after. Each row runs twice: on the
// platform's profile itself and through a recording of it.
#include "store/script_store.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/native_profile.h"
#include "testing/escapes.h"
#include "testing/recording_platform.h"
#include "testing/scratch.h"

namespace vendaro::test {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
const std::string kExe = "vendaro.exe";
#else
constexpr char kSeparator = '/';
const std::string kExe = "vendaro";
#endif

const std::string kTwo =
    "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=db1\r\n"
    "[Stock]\r\nDSN_Driver=Access\r\nDBQ=C:\\stock.mdb\r\n";

void Replace(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; !from.empty() && (at = text.find(from, at)) != text.npos;) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

std::string List(ScriptStore& store) {
    std::string out;
    for (const ScriptRow& r : store.ListScripts())
        out += r.name + "," + r.description + "," + r.driver + ";";
    return out;
}

// Makes the call the row names; `other` is set to the file it names, if any.
std::string Call(ScriptStore& s, const std::string& op, const std::vector<std::string>& a,
                 const std::string& dir, std::string& other) {
    auto yes = [](bool b) { return std::string(b ? "true" : "false"); };
    if (op == "read") return s.ReadIniString(a[0], a[1], a[2]);
    if (op == "write") return yes(s.WriteIniString(a[0], a[1], a[2]));
    if (op == "list") return List(s);
    if (op == "exists") return s.FileExists(a.empty() ? s.ScriptFile() : dir) ? "yes" : "no";
    if (op == "section") {
        SectionKeys keys;
        for (std::size_t i = 1; i + 1 < a.size(); i += 2) keys.Write(a[i], a[i + 1]);
        return yes(s.WriteSection(a[0], keys));
    }
    if (op == "has") return s.HasSection(a[0]) ? "yes" : "no";
    if (op == "script") {
        SectionKeys keys;
        for (std::size_t i = 3; i + 1 < a.size(); i += 2) keys.Write(a[i], a[i + 1]);
        return yes(s.WriteScript(a[0], keys, a[1], a[2] == "replace"));
    }
    if (op == "copy") {
        const CopyResult r = s.CopySection(a[0], a[1]);
        return r == CopyResult::Copied ? "Copied" : r == CopyResult::NoFile ? "NoFile" : "Failed";
    }
    other = dir + kSeparator + a[0];
    std::replace(other.begin() + static_cast<long>(dir.size()), other.end(), '/', kSeparator);
    const bool ok = s.WriteIniString(a[1], a[2], a[3], other);
    return yes(ok) + ":" + s.ReadIniString(a[1], a[2], "", other) + ":" +
           s.ReadIniString("Sales", "Server");
}

}  // namespace

TEST_CASE("the script store, row by row") {
    const auto rows = ReadRows(VENDARO_SOURCE_DIR "/store/tests/data/script_store_cases.txt");
    REQUIRE(rows.size() > 40);
    for (const std::vector<std::string>& row : rows) {
        CAPTURE(row[0]);
        std::optional<std::string> before, after;
        if (row[1] != "<none>") before = Unescape(row[1]);
        if (before) Replace(*before, "<two>", kTwo);
        if (row[4] != "<none>" && (before || row[4] != "<same>")) after = Unescape(row[4]);
        if (after) Replace(*after, "<two>", kTwo);
        if (after) Replace(*after, "<same>", before.value_or(""));
        std::vector<std::string> args;
        for (std::size_t i = 6; i < row.size(); ++i) args.push_back(Unescape(row[i]));
        for (const bool recorded : {false, true}) {
            TempDir dir;
            const std::string base = dir.path().string();
            const std::string ini = base + kSeparator + "vendaro.ini";
            if (before) WriteFile(ini, *before);
            std::unique_ptr<Profile> native = MakeNativeProfile();
            RecordingPlatform recording(*native);
            ScriptStore store(recorded ? recording.profile() : *native, base, kExe, kSeparator);
            std::string other;
            CHECK(Show(Call(store, row[5], args, base, other)) == row[2]);
            if (recorded) {
                std::string effects;
                for (std::string line : recording.calls) {
                    Replace(line, ini, "<ini>");
                    Replace(line, other, "<dir>" + args[0]);
                    effects += (effects.empty() ? "" : "\n") + line;
                }
                CHECK(Show(effects) == Show(Unescape(row[3])));
            }
            CHECK(std::filesystem::exists(ini) == after.has_value());
            if (after) CHECK(Show(ReadFile(ini)) == Show(*after));
        }
    }
}

TEST_CASE("AppDir, ScriptFile and IniFile, and another program's name keeps its own keys") {
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
        CHECK(store.AppDir() + "|" + store.ScriptFile() + "|" + store.IniFile() ==
              std::string(c.app_dir) + "|" + c.app_dir + "vendaro.ini|" + c.ini);
    }
    // The names of vendaro.ini are listed with the keys of the program's own file.
    TempDir dir;
    const std::string base = dir.path().string();
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    ScriptStore store(*profile, base, "tool.exe", kSeparator);
    WriteFile(base + kSeparator + "tool.ini", "[A]\r\nDescription=own\r\n[B]\r\nDSN_Driver=d\r\n");
    CHECK(List(store).empty());
    WriteFile(base + kSeparator + "vendaro.ini", "[A]\r\nDescription=listed\r\n[C]\r\n");
    CHECK(List(store) == "A,own,;C,,;");
}

TEST_CASE("a command's reads come from one version of a file replaced meanwhile") {
    TempDir dir;
    const std::string base = dir.path().string();
    WriteFile(dir.path() / "vendaro.ini", "[s]\r\na=1\r\nb=1\r\n");
    WriteFile(dir.path() / "new", "[s]\r\na=2\r\nb=2\r\n");
    std::unique_ptr<Profile> profile = MakeNativeProfile();
    ScriptStore store(*profile, base, kExe, kSeparator);
    {
        const ScriptStore::OneVersion version = store.ReadOneVersion();
        CHECK(store.ReadIniString("s", "a") == "1");
        std::filesystem::rename(dir.path() / "new", dir.path() / "vendaro.ini");
        CHECK(store.ReadIniString("s", "b") == "1");
        SectionKeys keys;
        keys.Write("c", "3");
        REQUIRE(store.WriteSection("s", keys));
        CHECK(store.ReadIniString("s", "a") == "2");  // after a write: the file as written
    }
    CHECK(store.ReadIniString("s", "c") == "3");
    // The next command reads the file as it is then, not the last command's reading.
    WriteFile(dir.path() / "new", "[s]\r\na=5\r\n");
    std::filesystem::rename(dir.path() / "new", dir.path() / "vendaro.ini");
    const ScriptStore::OneVersion next = store.ReadOneVersion();
    CHECK(store.ReadIniString("s", "a") == "5");
}

}  // namespace vendaro::test

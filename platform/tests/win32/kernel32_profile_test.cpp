// The kernel32 profile and the program path, on the real Win32 functions (under Wine in CI).
#include <doctest/doctest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/native_profile.h"
#include "platform/program_path.h"
#include "platform/win32/kernel32_profile.h"
#include "platform/win32/windows_api.h"

namespace vendaro::test {

// Wine's ntdll exports wine_get_version; Windows' does not.
bool UnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace vendaro::test

namespace vendaro::win32 {
namespace {

// A fresh folder under the temporary directory, removed with its files at the end.
class TempFolder {
  public:
    TempFolder() {
        char base[MAX_PATH + 1] = {};
        GetTempPathA(MAX_PATH, base);
        for (unsigned n = GetCurrentProcessId() * 1000u;; ++n) {
            path_ = std::string(base) + "vendaro-k32-" + std::to_string(n);
            if (CreateDirectoryA(path_.c_str(), nullptr)) break;
        }
    }
    ~TempFolder() {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((path_ + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path_.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

void PutBytes(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    REQUIRE(file != nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::string BytesOf(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return "<missing>";
    std::string bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes += static_cast<char>(c);
    std::fclose(file);
    return bytes;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

const std::string kScript = "[Sales]\r\nDSN_Driver=SQL Server\r\nServer=db1\r\n";

}  // namespace

TEST_CASE("names holding NUL read as the default; a missing folder fails every write") {
    TempFolder folder;
    const std::string ini = folder.File("vendaro.ini");
    PutBytes(ini, kScript);
    Kernel32Profile profile;
    CHECK(profile.GetString("Sales", std::string("Server\0x", 8), "def", ini) == "def");
    CHECK(profile.GetString(std::string("Sales\0x", 7), "Server", "def", ini) == "def");
    const std::string nowhere = folder.File("no-such-folder") + "\\vendaro.ini";
    const KeyEdit edits[] = {{"Server", "db2"}};
    CHECK_FALSE(profile.SetString("Sales", "Server", "db1", nowhere));
    CHECK(profile.WriteKeys("Sales", edits, nowhere) == 0);
    CHECK_FALSE(profile.Append(nowhere, "[x]"));
    CHECK_FALSE(Exists(nowhere));
    const std::string bytes = std::string("[a]\r\rk=\0v\n\xE9\x1A", 12) + "end";
    PutBytes(ini, bytes);
    CHECK(profile.ReadAll(ini) == bytes);
}

TEST_CASE("reads see a change made by another program") {
    TempFolder folder;
    const std::string ini = folder.File("vendaro.ini");
    Kernel32Profile profile;
    PutBytes(ini, "[s]\r\nk=1\r\n");
    CHECK(profile.GetString("s", "k", "", ini) == "1");
    PutBytes(ini, "[s]\r\nk=2\r\n");  // same size, same second
    CHECK(profile.GetString("s", "k", "", ini) == "2");
    PutBytes(ini, "[s]\r\nk=22\r\n");
    CHECK(profile.Snapshot(ini)->GetString("s", "k", "") == "22");
    DeleteFileA(ini.c_str());
    CHECK(profile.GetString("s", "k", "gone", ini) == "gone");
    CHECK_FALSE(profile.Snapshot(ini)->Bytes().has_value());
}

TEST_CASE("a UTF-16 file is read by kernel32") {
    TempFolder folder;
    const std::string ini = folder.File("wide.ini");
    const std::string text = "[s]\r\nk=v\r\n";
    std::string wide = "\xFF\xFE";
    for (char c : text) wide.append({c, '\0'});
    PutBytes(ini, wide);
    Kernel32Profile profile;
    CHECK(profile.GetString("s", "k", "d", ini) == "v");
    CHECK(profile.Snapshot(ini)->GetString("s", "k", "d") == "v");
}

TEST_CASE("one mutex name per file, whatever its spelling") {
    TempFolder folder;
    const std::string ini = folder.File("Vendaro.ini");
    std::string upper = ini, slashes = ini;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (char& c : slashes) c = c == '\\' ? '/' : c;
    const std::string dotted = folder.File(".") + "\\vendaro.INI";
    CHECK(ProfileMutexName(upper) == ProfileMutexName(ini));
    CHECK(ProfileMutexName(slashes) == ProfileMutexName(ini));
    CHECK(ProfileMutexName(dotted) == ProfileMutexName(ini));
    CHECK(ProfileMutexName(folder.File("other.ini")) != ProfileMutexName(ini));
    CHECK(ProfileMutexName(ini).find('\\') == std::string::npos);
}

namespace {

struct WriteKeysCase {
    const char* what;
    std::string before;  // "<missing>": no file
    std::string section;
    std::vector<KeyEdit> edits;
    bool one_write;  // made as one section write
};

}  // namespace

TEST_CASE("WriteKeys gives the file that writing key by key gives") {
    const std::string library =
        "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=db1\r\n"
        "LastUser=sa\r\n\r\n[Stock]\r\n; kept\r\nDSN_Driver=dBase\r\n\r\n\r\n[Tail]\r\nk=v\r\n";
    const std::vector<KeyEdit> save = {{"DSN_Driver", "SQL Server"},
                                       {"Description", "All sales"},
                                       {"Server", "", true},
                                       {"Database", "pubs"},
                                       {"LastUser", "sa"}};
    const std::vector<WriteKeysCase> cases = {
        {"an editor's Save: changed, kept, removed and new keys; keys it does not write stay",
         library, "Sales", save, true},
        {"the section named in another letter case",
         library,
         "SALES",
         {{"description", "lower"}, {"NEWKEY", "x"}},
         true},
        {"a new section",
         library,
         "Orders",
         {{"DSN_Driver", "SQL Server"}, {"Description", "o"}},
         true},
        {"a missing file", "<missing>", "Orders", {{"DSN_Driver", "SQL Server"}, {"k", "v"}}, true},
        {"nothing changes: the file stays byte for byte",
         library,
         "Sales",
         {{"Server", "db1"}, {"Nothing", "", true}},
         true},
        {"every key removed leaves the header",
         "[s]\r\na=1\r\nb=2\r\n[t]\r\nc=3\r\n",
         "s",
         {{"a", "", true}, {"b", "", true}},
         true},
        {"a key set twice and removed again",
         library,
         "Tail",
         {{"n", "1"}, {"n", "2"}, {"k", "", true}, {"k", "back"}},
         true},
        {"a section with a comment", library, "Stock", {{"DSN_Driver", "x"}}, false},
        {"a section with a line without equals sign",
         "[s]\r\nbare\r\nk=v\r\n",
         "s",
         {{"k", "w"}},
         false},
        {"duplicate sections", "[s]\r\nk=1\r\n[t]\r\n[S]\r\nj=2\r\n", "s", {{"k", "3"}}, false},
        {"a blank line between keys", "[s]\r\na=1\r\n\r\nb=2\r\n", "s", {{"a", "3"}}, false},
        {"a following line of a bracket without its pair",
         "[s]\r\nk=1\r\n[t\r\nm=x\r\n",
         "s",
         {{"k", "2"}},
         false},
        {"a value with a leading blank", "[s]\r\nk=1\r\n", "s", {{"k", " v"}}, false},
        {"values of every kind of byte",
         "[s]\r\nk=1\r\n",
         "s",
         {{"k", "\"q\""}, {"a", "x=y ; z"}, {"b", "\xE9\xFF\x80"}},
         true},
    };
    TempFolder folder;
    for (const WriteKeysCase& c : cases) {
        INFO(c.what);
        const std::string batch = folder.File("batch.ini");
        const std::string single = folder.File("single.ini");
        DeleteFileA(batch.c_str());
        DeleteFileA(single.c_str());
        if (c.before != "<missing>") {
            PutBytes(batch, c.before);
            PutBytes(single, c.before);
        }
        Kernel32Profile by_key;
        for (const KeyEdit& e : c.edits) {
            REQUIRE((e.remove ? by_key.DeleteKey(c.section, e.key, single)
                              : by_key.SetString(c.section, e.key, e.value, single)));
        }
        Kernel32Profile profile;
        CHECK(profile.WriteKeys(c.section, c.edits, batch) == c.edits.size());
        CHECK(profile.section_writes() == (c.one_write ? 1u : 0u));
        CHECK(BytesOf(batch) == BytesOf(single));
    }
}

TEST_CASE("two programs writing one file lose no write") {
    TempFolder folder;
    const std::string ini = folder.File("shared.ini");
    PutBytes(ini, kScript);
    char exe[MAX_PATH + 1] = {};
    REQUIRE(GetModuleFileNameA(nullptr, exe, MAX_PATH) > 0);
    PROCESS_INFORMATION children[2] = {};
    for (int i = 0; i < 2; ++i) {
        const std::string env = "VENDARO_WRITER=" + std::to_string(i) + "|" + ini;
        REQUIRE(_putenv(env.c_str()) == 0);
        std::string command = "\"" + std::string(exe) + "\" -tc=\"child: one writer*\" -nv";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        REQUIRE(CreateProcessA(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &children[i]));
    }
    REQUIRE(_putenv("VENDARO_WRITER=") == 0);
    for (PROCESS_INFORMATION& child : children) {
        CHECK(WaitForSingleObject(child.hProcess, 120'000) == WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(child.hProcess, &code);
        CHECK(code == 0);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    Kernel32Profile profile;
    int lost = 0;
    for (int i = 0; i < 2; ++i) {
        for (int k = 0; k < 100; ++k) {
            const std::string key = "w" + std::to_string(i) + "k" + std::to_string(k);
            lost += profile.GetString("Sales", key, "", ini) != std::to_string(k);
        }
    }
    CHECK(lost == 0);
    CHECK(profile.GetString("Sales", "Server", "", ini) == "db1");
}

TEST_CASE("child: one writer of the two-program test") {
    const char* job = std::getenv("VENDARO_WRITER");
    if (job == nullptr || *job == '\0') return;  // run by the test above only
    const std::string what(job);
    const std::size_t bar = what.find('|');
    REQUIRE(bar != std::string::npos);
    const std::string id = what.substr(0, bar), ini = what.substr(bar + 1);
    Kernel32Profile profile;
    for (int k = 0; k < 100; ++k) {
        REQUIRE(
            profile.SetString("Sales", "w" + id + "k" + std::to_string(k), std::to_string(k), ini));
    }
}

TEST_CASE("the native profile of the Windows build is kernel32's") {
    auto profile = MakeNativeProfile();
    CHECK(dynamic_cast<Kernel32Profile*>(profile.get()) != nullptr);
}

TEST_CASE("the program path is the full path of the running executable") {
    const std::string path = ProgramPath();
    REQUIRE(path.size() > 3);
    CHECK(std::isalpha(static_cast<unsigned char>(path[0])));
    CHECK(path.substr(1, 2) == ":\\");
    std::string lower;
    for (char c : path) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    CHECK(lower.size() >= 18);
    CHECK(lower.substr(lower.size() - 18) == "platform_tests.exe");
    CHECK(Exists(path));
}

}  // namespace vendaro::win32

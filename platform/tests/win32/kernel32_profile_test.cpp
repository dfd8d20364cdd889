// The kernel32 profile and the program path, on the real Win32 functions (under Wine in CI).
#include <doctest/doctest.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "platform/native_profile.h"
#include "platform/program_path.h"
#include "platform/win32/kernel32_profile.h"
#include "platform/win32/windows_api.h"

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

TEST_CASE("the kernel32 profile refuses a line break or NUL in a name or value") {
    TempFolder folder;
    const std::string ini = folder.File("vendaro.ini");
    Kernel32Profile profile;
    struct Bad {
        const char* what;
        std::string text;
    };
    const Bad bad[] = {{"CR", "a\rUID=x"},
                       {"LF", "a\nUID=x"},
                       {"CR LF", "a\r\n[Evil]"},
                       {"NUL", std::string("Server\0x", 8)}};

    SUBCASE("in a file that exists, which stays byte for byte") {
        for (const Bad& b : bad) {
            CAPTURE(b.what);
            PutBytes(ini, kScript);
            CHECK_FALSE(profile.SetString(b.text, "Server", "db2", ini));
            CHECK_FALSE(profile.SetString("Sales", b.text, "db2", ini));
            CHECK_FALSE(profile.SetString("Sales", "Server", b.text, ini));
            CHECK_FALSE(profile.DeleteKey(b.text, "Server", ini));
            CHECK_FALSE(profile.DeleteKey("Sales", b.text, ini));
            CHECK_FALSE(profile.DeleteSection(b.text, ini));
            CHECK(BytesOf(ini) == kScript);
            CHECK(profile.GetString("Sales", "UID", "none", ini) == "none");
        }
    }
    SUBCASE("in a missing file, which is not created") {
        for (const Bad& b : bad) {
            CAPTURE(b.what);
            CHECK_FALSE(profile.SetString("Sales", "Server", b.text, ini));
            CHECK_FALSE(profile.SetString(b.text, "Server", "db2", ini));
            CHECK_FALSE(Exists(ini));
        }
    }
}

TEST_CASE("a name holding NUL reads as the default, not as the name before the NUL") {
    TempFolder folder;
    const std::string ini = folder.File("vendaro.ini");
    PutBytes(ini, kScript);
    Kernel32Profile profile;
    CHECK(profile.GetString("Sales", std::string("Server\0x", 8), "def", ini) == "def");
    CHECK(profile.GetString(std::string("Sales\0x", 7), "Server", "def", ini) == "def");
    CHECK(profile.GetString("Sales", "Server", "def", ini) == "db1");
}

TEST_CASE("kernel32 profile reads and writes") {
    TempFolder folder;
    const std::string ini = folder.File("vendaro.ini");
    Kernel32Profile profile;

    SUBCASE("a write into a missing file creates it; delete key and section") {
        REQUIRE(profile.SetString("Sales", "DSN_Driver", "SQL Server", ini));
        CHECK(BytesOf(ini) == "[Sales]\r\nDSN_Driver=SQL Server\r\n");
        CHECK(profile.GetString("SALES", "dsn_driver", "", ini) == "SQL Server");
        REQUIRE(profile.SetString("Sales", "Server", "db1", ini));
        REQUIRE(profile.DeleteKey("Sales", "DSN_Driver", ini));
        CHECK(BytesOf(ini) == "[Sales]\r\nServer=db1\r\n");
        REQUIRE(profile.DeleteSection("Sales", ini));
        CHECK(profile.GetString("Sales", "Server", "gone", ini) == "gone");
    }
    SUBCASE("deleting from a missing file creates no file") {
        CHECK(profile.DeleteKey("Sales", "Server", ini));
        CHECK(profile.DeleteSection("Sales", ini));
        CHECK_FALSE(Exists(ini));
    }
    SUBCASE("missing file, section or key gives the default") {
        CHECK(profile.GetString("Sales", "Server", "d", ini) == "d");
        PutBytes(ini, kScript);
        CHECK(profile.GetString("Stock", "Server", "d", ini) == "d");
        CHECK(profile.GetString("Sales", "Port", "d", ini) == "d");
        CHECK(profile.GetString("Sales", "Port", "", ini) == "");
    }
    SUBCASE("a value reads back cut to its first 2047 characters") {
        std::string long_value(3000, 'x');
        for (std::size_t i = 0; i < long_value.size(); ++i) long_value[i] = "abcdefg"[i % 7];
        PutBytes(ini, "[s]\r\nk=" + long_value + "\r\n");
        const std::string got = profile.GetString("s", "k", "", ini);
        CHECK(got.size() == 2047);
        CHECK(got == long_value.substr(0, 2047));
        const std::string exact(2047, 'y');
        PutBytes(ini, "[s]\r\nk=" + exact + "\r\n");
        CHECK(profile.GetString("s", "k", "", ini) == exact);
    }
    SUBCASE("a write into a missing folder fails") {
        const std::string nowhere = folder.File("no-such-folder") + "\\vendaro.ini";
        CHECK_FALSE(profile.SetString("Sales", "Server", "db1", nowhere));
        CHECK_FALSE(Exists(nowhere));
    }
}

TEST_CASE("whole-file reading and appending") {
    TempFolder folder;
    const std::string ini = folder.File("vendaro.ini");
    Kernel32Profile profile;

    SUBCASE("a missing file reads as nothing") {
        CHECK_FALSE(profile.ReadAll(ini).has_value());
    }
    SUBCASE("bytes come back exactly, CR, NUL and high bytes included") {
        const std::string bytes = std::string("[a]\r\rk=\0v\n\xE9\x1A", 12) + "end";
        PutBytes(ini, bytes);
        auto read = profile.ReadAll(ini);
        REQUIRE(read.has_value());
        CHECK(*read == bytes);
    }
    SUBCASE("append creates the file, then adds to its end in binary") {
        REQUIRE(profile.Append(ini, "\r\r\n[Copy]\r\nk=v"));
        REQUIRE(profile.Append(ini, "\r\r\n[Copy2]"));
        CHECK(BytesOf(ini) == "\r\r\n[Copy]\r\nk=v\r\r\n[Copy2]");
    }
    SUBCASE("append into a missing folder fails and creates nothing") {
        const std::string nowhere = folder.File("no-such-folder") + "\\vendaro.ini";
        CHECK_FALSE(profile.Append(nowhere, "[x]"));
        CHECK_FALSE(Exists(nowhere));
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

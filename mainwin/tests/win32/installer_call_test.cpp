// The installer call of a User DSN, through the real ODBC installer to the fake driver setup
// library (built beside this test), registered in this prefix under a driver name of its own.
#include <doctest/doctest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "mainwin/tests/win32/ui_support.h"
#include "platform/win32/win32_installer.h"

namespace vendaro::win32 {
namespace {

constexpr const char* kDriver = "Vendaro Test Driver";
constexpr const char* kInstKey = "SOFTWARE\\ODBC\\ODBCINST.INI";

std::string BuildPath(const std::string& name) {
    std::string path = std::string(VENDARO_BINARY_DIR) + "/" + name;
    if (!path.empty() && path.front() == '/') path = "Z:" + path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

void SetString(HKEY root, const std::string& path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyA(root, path.c_str(), &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

// Registers the fake setup library for kDriver while it lives.
struct FakeDriver {
    std::string dll = BuildPath("mainwin/fakedriver.dll");
    std::string log = BuildPath("mainwin/configdsn.log");
    FakeDriver() {
        DeleteFileA(log.c_str());
        const std::string key = std::string(kInstKey) + "\\" + kDriver;
        SetString(HKEY_LOCAL_MACHINE, key, "Driver", dll);
        SetString(HKEY_LOCAL_MACHINE, key, "Setup", dll);
        SetString(HKEY_LOCAL_MACHINE, std::string(kInstKey) + "\\ODBC Drivers", kDriver,
                  "Installed");
    }
    ~FakeDriver() {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kInstKey) + "\\" + kDriver).c_str());
        HKEY drivers = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kInstKey) + "\\ODBC Drivers").c_str(), 0,
                          KEY_SET_VALUE, &drivers) == ERROR_SUCCESS) {
            RegDeleteValueA(drivers, kDriver);
            RegCloseKey(drivers);
        }
        DeleteFileA(log.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\ODBC\\ODBC.INI\\Fake");
    }
    // The calls the library recorded, "request|parent|driver|attributes" each.
    std::string Calls() const {
        std::ifstream in(log, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        std::string calls = text.str();
        std::string plain;
        for (char c : calls) {
            if (c != '\r') plain += c;
        }
        return plain;
    }
};

// The main window with the real registry writes left to the recording platform, and the
// real installer.
struct InstallerUi {
    testing::Ui ui;
    Win32Installer installer;
    Platform platform{ui.recording.profile(), ui.recording, installer, ui.dialogs};
    MainWindow main{ui.store, platform, ui.module1, ui.editors, /*quit_on_close=*/false};
};

}  // namespace

TEST_CASE("a User DSN hands the data source to the driver's setup library") {
    FakeDriver fake;
    InstallerUi app;
    app.ui.WriteScripts("[Fake]\r\nDSN_Driver=Vendaro Test Driver\r\nDescription=Test\r\n");

    SUBCASE("interactive (\"u\"): configure, with the main window as parent") {
        REQUIRE(app.main.Start("fake -u").show_window);
        CHECK(fake.Calls() == "2|1|Vendaro Test Driver|DSN=Fake\n");
        CHECK(testing::TextOf(app.main.view().Label()) == "User DSN has been created.");
    }
    SUBCASE("unattended (\"ue\"): add, with no parent and no window") {
        StartupResult started = app.main.Start("fake -ue");
        CHECK_FALSE(started.show_window);
        CHECK(started.exit_status == 0);
        CHECK(fake.Calls() == "1|0|Vendaro Test Driver|DSN=Fake\n");
    }
    SUBCASE("a System DSN never calls the installer") {
        StartupResult started = app.main.Start("fake -se");
        CHECK(started.exit_status == 0);
        CHECK(fake.Calls().empty());
    }
}

}  // namespace vendaro::win32

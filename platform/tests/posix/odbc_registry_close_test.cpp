// The unixODBC registry keeps a key's values until the key is closed and then writes them in
// one change of odbc.ini.
#include <doctest/doctest.h>

#include <filesystem>
#include <string>

#include "platform/posix/odbc_registry.h"
#include "platform/tests/posix/posix_support.h"

namespace vendaro {
namespace {

namespace test = posix_test;

using test::ReadFile;

const std::string kDataSources = "SOFTWARE\\ODBC\\ODBC.INI\\";

struct UserIni {
    test::TempDir dir;
    std::filesystem::path folder = dir.path() / "home";
    std::filesystem::path file = folder / "odbc.ini";
    test::EnvScope env{
        {{"ODBCINI", file.string()}, {"ODBCSYSINI", test::SharedSystemFolder().string()}}};
    OdbcRegistry registry;

    UserIni() { std::filesystem::create_directory(folder); }
};

TEST_CASE("The unixODBC registry writes a key's values when the key is closed") {
    UserIni ini;

    SUBCASE("nothing of the key is in the file before the close, all of it after") {
        RegHandle key = ini.registry.CreateKey(RegRoot::CurrentUser, kDataSources + "Sales");
        REQUIRE(key != 0);
        CHECK(ini.registry.SetString(key, "Server", "srv1"));
        CHECK(ini.registry.SetNumber(key, "Port", 2638));
        CHECK(ini.registry.SetString(key, "server", "srv2"));
        CHECK(ReadFile(ini.file).find("Sales") == std::string::npos);
        CHECK(ini.registry.CloseKey(key));
        CHECK(ReadFile(ini.file) == "[Sales]\nServer=srv2\nPort=2638\n");
    }
    SUBCASE("a file that is gone by the close fails the close, and the key is closed") {
        RegHandle key = ini.registry.CreateKey(RegRoot::CurrentUser, kDataSources + "Sales");
        REQUIRE(key != 0);
        CHECK(ini.registry.SetString(key, "Server", "srv1"));
        std::filesystem::remove_all(ini.folder);
        CHECK_FALSE(ini.registry.CloseKey(key));
        CHECK_FALSE(std::filesystem::exists(ini.folder));
        CHECK_FALSE(ini.registry.CloseKey(key));
    }
    SUBCASE("a folder in the file's place by the close fails the close") {
        RegHandle key = ini.registry.CreateKey(RegRoot::CurrentUser, kDataSources + "Sales");
        REQUIRE(key != 0);
        CHECK(ini.registry.SetString(key, "Server", "srv1"));
        std::filesystem::remove(ini.file);
        std::filesystem::create_directory(ini.file);
        CHECK_FALSE(ini.registry.CloseKey(key));
        CHECK(std::filesystem::is_directory(ini.file));
    }
}

}  // namespace
}  // namespace vendaro

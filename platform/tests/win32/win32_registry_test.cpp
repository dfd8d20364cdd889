// The registry writes of DSN creation against the real registry (a scratch key per test).
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_registry.h"

namespace vendaro::win32 {
namespace {

constexpr const char* kScratch = "SOFTWARE\\VendaroTests\\Registry";

struct StoredValue {
    LONG result = ERROR_FILE_NOT_FOUND;
    DWORD type = 0xFFFF;
    std::vector<unsigned char> data;
};

StoredValue Query(HKEY root, const std::string& path, const std::string& name) {
    StoredValue value;
    HKEY key = nullptr;
    value.result = RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (value.result != ERROR_SUCCESS) return value;
    DWORD size = 0;
    value.result = RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size);
    value.data.resize(size);
    if (value.result == ERROR_SUCCESS && size > 0) {
        value.result =
            RegQueryValueExA(key, name.c_str(), nullptr, &value.type, value.data.data(), &size);
    }
    RegCloseKey(key);
    return value;
}

std::vector<unsigned char> Bytes(std::initializer_list<int> bytes) {
    std::vector<unsigned char> out;
    for (int b : bytes) out.push_back(static_cast<unsigned char>(b));
    return out;
}

struct ScratchKey {
    HKEY root;
    explicit ScratchKey(HKEY r) : root(r) { RegDeleteTreeA(root, kScratch); }
    ~ScratchKey() { RegDeleteTreeA(root, kScratch); }
};

}  // namespace

TEST_CASE("the two roots are the predefined keys, not the bare numbers") {
    // On 64-bit Windows the predefined handles are sign-extended values.
    CHECK(Win32Registry::RootKey(RegRoot::CurrentUser) == HKEY_CURRENT_USER);
    CHECK(Win32Registry::RootKey(RegRoot::LocalMachine) == HKEY_LOCAL_MACHINE);
    CHECK(Win32Registry::RootKey(static_cast<RegRoot>(0x80000003u)) == nullptr);
}

TEST_CASE("values land with the registry type and size of their kind") {
    for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
        CAPTURE(static_cast<unsigned>(root));
        HKEY root_key = Win32Registry::RootKey(root);
        ScratchKey scratch(root_key);
        Win32Registry registry;
        RegHandle key = registry.CreateKey(root, kScratch);
        REQUIRE(key != 0);

        SUBCASE("a string is REG_SZ with its NUL counted in the size") {
            CHECK(registry.SetString(key, "Database", "pubs"));
            CHECK(registry.SetString(key, "Server", ""));
            CHECK(registry.CloseKey(key));
            StoredValue database = Query(root_key, kScratch, "Database");
            CHECK(database.result == ERROR_SUCCESS);
            CHECK(database.type == REG_SZ);
            CHECK(database.data == Bytes({'p', 'u', 'b', 's', 0}));
            StoredValue server = Query(root_key, kScratch, "Server");
            CHECK(server.type == REG_SZ);
            CHECK(server.data == Bytes({0}));  // an empty string, not a missing value
        }
        SUBCASE("a number is REG_DWORD, four bytes little-endian") {
            CHECK(registry.SetNumber(key, "Port", 1234));
            CHECK(registry.SetNumber(key, "Negative", -2));
            CHECK(registry.CloseKey(key));
            StoredValue port = Query(root_key, kScratch, "Port");
            CHECK(port.type == REG_DWORD);
            CHECK(port.data == Bytes({0xd2, 0x04, 0, 0}));
            StoredValue negative = Query(root_key, kScratch, "Negative");
            CHECK(negative.type == REG_DWORD);
            CHECK(negative.data == Bytes({0xfe, 0xff, 0xff, 0xff}));
        }
        SUBCASE("a flag byte is type 0 (REG_NONE), one byte") {
            CHECK(registry.SetFlagByte(key, "Exclusive", 1));
            CHECK(registry.SetFlagByte(key, "ReadOnly", 0));
            CHECK(registry.CloseKey(key));
            StoredValue exclusive = Query(root_key, kScratch, "Exclusive");
            CHECK(exclusive.type == REG_NONE);
            CHECK(exclusive.data == Bytes({1}));
            StoredValue read_only = Query(root_key, kScratch, "ReadOnly");
            CHECK(read_only.type == REG_NONE);
            CHECK(read_only.data == Bytes({0}));
        }
        CHECK(registry.OpenKeys() == 0);
    }
}

TEST_CASE("creating an existing key opens it and keeps its other values") {
    ScratchKey scratch(HKEY_CURRENT_USER);
    Win32Registry registry;
    RegHandle first = registry.CreateKey(RegRoot::CurrentUser, kScratch);
    REQUIRE(first != 0);
    CHECK(registry.SetString(first, "Old", "kept"));
    CHECK(registry.SetString(first, "Server", "one"));
    CHECK(registry.CloseKey(first));

    RegHandle second = registry.CreateKey(RegRoot::CurrentUser, kScratch);
    REQUIRE(second != 0);
    CHECK(registry.SetString(second, "Server", "two"));
    CHECK(registry.CloseKey(second));

    CHECK(Query(HKEY_CURRENT_USER, kScratch, "Old").data == Bytes({'k', 'e', 'p', 't', 0}));
    CHECK(Query(HKEY_CURRENT_USER, kScratch, "Server").data == Bytes({'t', 'w', 'o', 0}));
}

TEST_CASE("handles that are not open are refused without calling the registry") {
    ScratchKey scratch(HKEY_CURRENT_USER);
    Win32Registry registry;

    SUBCASE("no key at all") {
        CHECK_FALSE(registry.SetString(0, "Name", "value"));
        CHECK_FALSE(registry.SetNumber(0, "Name", 1));
        CHECK_FALSE(registry.SetFlagByte(0, "Name", 1));
        CHECK_FALSE(registry.CloseKey(0));
    }
    SUBCASE("a key already closed") {
        RegHandle key = registry.CreateKey(RegRoot::CurrentUser, kScratch);
        REQUIRE(key != 0);
        CHECK(registry.CloseKey(key));
        CHECK_FALSE(registry.CloseKey(key));
        CHECK_FALSE(registry.SetString(key, "Late", "value"));
        CHECK(Query(HKEY_CURRENT_USER, kScratch, "Late").result == ERROR_FILE_NOT_FOUND);
    }
    SUBCASE("a handle the registry object never gave out") {
        CHECK_FALSE(registry.SetString(reinterpret_cast<RegHandle>(HKEY_CURRENT_USER), "X", "y"));
        CHECK(Query(HKEY_CURRENT_USER, "", "X").result == ERROR_FILE_NOT_FOUND);
    }
}

TEST_CASE("a path the registry rejects gives no key") {
    Win32Registry registry;
    // A key name may not start with a backslash.
    RegHandle key = registry.CreateKey(RegRoot::CurrentUser, "\\SOFTWARE\\VendaroTests\\Bad");
    CHECK(key == 0);
    CHECK_FALSE(registry.SetString(key, "Name", "value"));
    CHECK(registry.OpenKeys() == 0);
}

TEST_CASE("keys left open are closed when the registry object goes") {
    ScratchKey scratch(HKEY_CURRENT_USER);
    {
        Win32Registry registry;
        RegHandle key = registry.CreateKey(RegRoot::CurrentUser, kScratch);
        REQUIRE(key != 0);
        CHECK(registry.SetString(key, "Name", "value"));
        CHECK(registry.OpenKeys() == 1);
    }
    CHECK(Query(HKEY_CURRENT_USER, kScratch, "Name").data == Bytes({'v', 'a', 'l', 'u', 'e', 0}));
}

}  // namespace vendaro::win32

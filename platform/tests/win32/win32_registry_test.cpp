// The registry writes of DSN creation against the real registry, in a scratch key.
#include <doctest/doctest.h>

#include <string>

#include "platform/win32/win32_registry.h"

namespace vendaro::win32 {
namespace {

constexpr const char* kScratch = "SOFTWARE\\VendaroTests";

// The value as stored: its type, then its bytes; "missing" when there is none.
std::string Stored(HKEY root, const char* name) {
    DWORD type = 0, size = 16;
    BYTE data[16] = {};
    if (RegGetValueA(root, kScratch, name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS) {
        return "missing";
    }
    std::string stored = std::to_string(type) + ":";
    for (DWORD i = 0; i < size; ++i) stored += " " + std::to_string(data[i]);
    return stored;
}

}  // namespace

TEST_CASE("a root and path name the key written; a root or path the registry rejects, none") {
    struct Row {
        RegRoot root;
        const char* path;
        HKEY written;
    };
    const Row rows[] = {
        {RegRoot::CurrentUser, kScratch, HKEY_CURRENT_USER},
        {RegRoot::LocalMachine, kScratch, HKEY_LOCAL_MACHINE},
        {RegRoot::CurrentUser, "\\SOFTWARE\\VendaroTests", nullptr},  // no leading backslash
        {static_cast<RegRoot>(0x80000003u), kScratch, nullptr},       // HKEY_USERS
    };
    for (const Row& row : rows) {
        CAPTURE(row.path);
        Win32Registry registry;
        const RegHandle key = registry.CreateKey(row.root, row.path);
        CHECK(registry.SetString(key, "Root", "x") == (row.written != nullptr));
        CHECK(registry.CloseKey(key) == (row.written != nullptr));
        CHECK(registry.OpenKeys() == 0);
        if (row.written != nullptr) CHECK(Stored(row.written, "Root") == "1: 120 0");
        if (row.written != nullptr) RegDeleteTreeA(row.written, kScratch);
    }
}

TEST_CASE("each kind of value lands with its registry type and bytes") {
    struct Row {
        char kind;  // String, Number, Flag byte
        const char* name;
        const char* value;
        const char* stored;
    };
    const Row rows[] = {
        {'S', "Database", "pubs", "1: 112 117 98 115 0"},
        {'S', "Server", "", "1: 0"},
        {'N', "Port", "1234", "4: 210 4 0 0"},
        {'N', "Count", "-2", "4: 254 255 255 255"},
        {'F', "Exclusive", "1", "0: 1"},
        {'F', "ReadOnly", "0", "0: 0"},
    };
    {
        Win32Registry registry;
        const RegHandle key = registry.CreateKey(RegRoot::CurrentUser, kScratch);
        for (const Row& row : rows) {
            CHECK((row.kind == 'S'   ? registry.SetString(key, row.name, row.value)
                   : row.kind == 'N' ? registry.SetNumber(key, row.name, std::stoi(row.value))
                                     : registry.SetFlagByte(key, row.name, std::stoi(row.value))));
        }
    }  // the key left open is closed here
    for (const Row& row : rows) CHECK(Stored(HKEY_CURRENT_USER, row.name) == row.stored);
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
}

TEST_CASE("a handle that is not open is refused without calling the registry") {
    Win32Registry registry;
    const RegHandle key = registry.CreateKey(RegRoot::CurrentUser, kScratch);
    CHECK(registry.CloseKey(key));
    CHECK_FALSE(registry.CloseKey(key));
    CHECK_FALSE(registry.SetNumber(key, "Late", 1));
    CHECK_FALSE(registry.SetFlagByte(reinterpret_cast<RegHandle>(HKEY_CURRENT_USER), "Late", 1));
    CHECK(Stored(HKEY_CURRENT_USER, "Late") == "missing");
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
}

}  // namespace vendaro::win32

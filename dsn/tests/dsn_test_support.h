#pragma once
// Scratch script files and operation-by-operation list comparison for the DSN tests.
#include <doctest/doctest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "dsn/drivers.h"
#include "dsn/dsn_command.h"
#include "dsn/write_list.h"
#include "platform/native_profile.h"
#include "store/script_store.h"

namespace vendaro::dsn_test {

using namespace std::string_literals;

inline constexpr const char* kSqlServer = DriverOf(DriverId::SqlServer).name;
inline constexpr const char* kAsa = DriverOf(DriverId::AdaptiveServer).name;
inline constexpr const char* kAccess = DriverOf(DriverId::Access).name;
inline constexpr const char* kDbase = DriverOf(DriverId::Dbase).name;
inline constexpr const char* kFoxPro = DriverOf(DriverId::FoxPro).name;

inline std::string Visible(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\0') {
            out += "\\0";
        } else {
            out += c;
        }
    }
    return out;
}

inline const char* RootName(RegRoot root) {
    switch (root) {
        case RegRoot::CurrentUser:
            return "HKEY_CURRENT_USER";
        case RegRoot::LocalMachine:
            return "HKEY_LOCAL_MACHINE";
    }
    return "?";
}

struct Describer {
    std::string operator()(const CreateKeyOp& op) const {
        return std::string("create key ") + RootName(op.root) + " " + op.path;
    }
    std::string operator()(const SetValueOp& op) const {
        switch (op.kind) {
            case ValueKind::String:
                return "set string " + op.name + " = \"" + Visible(op.text) + "\"";
            case ValueKind::Number:
                return "set number " + op.name + " = " + std::to_string(op.number);
            case ValueKind::FlagByte:
                return "set flag byte " + op.name + " = " + std::to_string(op.number);
        }
        return "set ?";
    }
    std::string operator()(const CloseKeyOp&) const { return "close key"; }
    std::string operator()(const WriteProfileOp& op) const {
        return "write profile " + op.file + " [" + op.section + "] " + op.key + " = \"" + op.value +
               "\"";
    }
    std::string operator()(const ConfigureDataSourceOp& op) const {
        return "configure data source window " + std::to_string(op.window) + " request " +
               std::to_string(op.request) + " " + op.driver + " \"" + Visible(op.attributes) + "\"";
    }
};

// One line naming the operation and its arguments (NULs shown as "\0"), for messages.
inline std::string Describe(const WriteOp& op) {
    return std::visit(Describer{}, op);
}

inline constexpr WindowHandle kMainWindow = 0x1234;

// A scratch directory holding vendaro.ini made of `lines` (CR LF after each), and a store on
// the platform's own profile functions reading it. Removed with everything in it at the end.
class ScriptDir {
  public:
    explicit ScriptDir(const std::vector<std::string>& lines) {
        static std::atomic<int> counter{0};
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = std::filesystem::temp_directory_path() /
               ("vendaro-dsn-" + std::to_string(stamp) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(dir_);
        std::ofstream out(dir_ / "vendaro.ini", std::ios::binary);
        for (const std::string& line : lines) out << line << "\r\n";
        out.close();
        REQUIRE(out.good());
        profile_ = MakeNativeProfile();
    }
    ScriptDir() : ScriptDir(std::vector<std::string>{}) {}
    ~ScriptDir() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    ScriptDir(const ScriptDir&) = delete;
    ScriptDir& operator=(const ScriptDir&) = delete;

    std::string path() const { return dir_.string(); }
    Profile& profile() { return *profile_; }
    // A store reading this directory's vendaro.ini through `profile`.
    ScriptStore Store(Profile& profile) const {
        return ScriptStore(profile, path(), "vendaro.exe",
                           static_cast<char>(std::filesystem::path::preferred_separator));
    }
    ScriptStore Store() { return Store(*profile_); }

  private:
    std::filesystem::path dir_;
    std::unique_ptr<Profile> profile_;
};

// Expected operations, spelled out field by field.
inline WriteOp Create(RegRoot root, std::string path) {
    return CreateKeyOp{root, path};
}
inline WriteOp Str(std::string name, std::string text) {
    return SetValueOp{name, ValueKind::String, text, 0};
}
inline WriteOp Num(std::string name, std::int32_t number) {
    return SetValueOp{name, ValueKind::Number, "", number};
}
inline WriteOp Flag(std::string name, std::int32_t flag) {
    return SetValueOp{name, ValueKind::FlagByte, "", flag};
}
inline WriteOp Close() {
    return CloseKeyOp{};
}
inline WriteOp Ini(std::string file, std::string section, std::string key, std::string value) {
    return WriteProfileOp{file, section, key, value};
}
inline WriteOp Config(WindowHandle window, int request, std::string driver,
                      std::string attributes) {
    return ConfigureDataSourceOp{window, request, driver, attributes};
}

inline void Append(WriteList& list, std::initializer_list<WriteOp> ops) {
    list.insert(list.end(), ops.begin(), ops.end());
}

inline const std::string kDsKey = "SOFTWARE\\ODBC\\ODBC.INI\\";
inline const std::string kDataSources = "SOFTWARE\\ODBC\\ODBC.INI\\ODBC Data Sources";

// Compares two lists operation by operation, naming the first ones that differ.
inline void CheckSameList(const WriteList& actual, const WriteList& expected) {
    CHECK(actual.size() == expected.size());
    std::size_t n = std::max(actual.size(), expected.size());
    for (std::size_t i = 0; i < n; ++i) {
        std::string got = i < actual.size() ? Describe(actual[i]) : "(nothing)";
        std::string want = i < expected.size() ? Describe(expected[i]) : "(nothing)";
        INFO("operation ", i + 1);
        CHECK(got == want);
        if (i < actual.size() && i < expected.size()) CHECK(actual[i] == expected[i]);
    }
}

inline DsnRequest Request(DsnCommand command, std::string name, std::string description,
                          std::string driver, std::string start_mode = "") {
    DsnRequest r;
    r.command = command;
    r.name = std::move(name);
    r.description = std::move(description);
    r.driver = std::move(driver);
    r.unattended = start_mode == "ue" || start_mode == "se";
    r.main_window = kMainWindow;
    return r;
}

}  // namespace vendaro::dsn_test

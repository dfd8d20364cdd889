// The Win32 platform against the real system: the registry writes of DSN creation in a scratch
// key, the ODBC installer call (the end-to-end test makes the successful ones), and the message
// and input boxes, the file and folder choosers, shown for real and answered as a user would.
#include <doctest/doctest.h>

#include <tuple>

#include "platform/win32/win32_installer.h"
#include "platform/win32/win32_registry.h"
#include "testing/scratch.h"
#include "testing/win32/win32_kit.h"

#include <dlgs.h>  // the file chooser's control ids, after windows.h

namespace vendaro::win32 {
namespace {

constexpr const char* kScratch = "SOFTWARE\\VendaroTests";

// The value `name` of the scratch key as stored: its type, then its bytes; "missing" for none.
std::string Stored(HKEY root, const char* name) {
    DWORD type = 0, size = 16;
    BYTE data[16] = {};
    if (RegGetValueA(root, kScratch, name, RRF_RT_ANY, &type, data, &size) != 0) return "missing";
    std::string stored = std::to_string(type) + ":";
    for (DWORD i = 0; i < size; ++i) stored += " " + std::to_string(data[i]);
    return stored;
}

}  // namespace

TEST_CASE("a root and path name the key written, one the registry rejects, none, no stale key") {
    const std::tuple<RegRoot, const char*, HKEY> rows[] = {
        {RegRoot::CurrentUser, kScratch, HKEY_CURRENT_USER},
        {RegRoot::LocalMachine, kScratch, HKEY_LOCAL_MACHINE},
        {RegRoot::CurrentUser, "\\SOFTWARE\\VendaroTests", nullptr},  // no leading backslash
        {static_cast<RegRoot>(0x80000003u), kScratch, nullptr},       // HKEY_USERS
    };
    for (const auto& [root, path, written] : rows) {
        CAPTURE(path);
        Win32Registry registry;
        const RegHandle key = registry.CreateKey(root, path);
        CHECK(registry.SetString(key, "Root", "x") == (written != nullptr));
        CHECK(registry.CloseKey(key) == (written != nullptr));
        // A key closed, or a handle this object never gave out, is refused.
        CHECK_FALSE(registry.SetNumber(key, "Root", 1));
        CHECK_FALSE(registry.SetNumber(reinterpret_cast<RegHandle>(HKEY_CURRENT_USER), "Root", 1));
        for (HKEY predefined : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            CHECK(Stored(predefined, "Root") == (predefined == written ? "1: 120 0" : "missing"));
            RegDeleteTreeA(predefined, kScratch);
        }
    }
}

TEST_CASE("each kind of value lands with its registry type and bytes, an unknown driver fails") {
    const std::tuple<char, const char*, const char*, const char*> rows[] = {
        {'S', "Database", "pubs", "1: 112 117 98 115 0"},
        {'S', "Server", "", "1: 0"},
        {'N', "Port", "1234", "4: 210 4 0 0"},
        {'N', "Count", "-2", "4: 254 255 255 255"},
        {'F', "Exclusive", "1", "0: 1"},
    };
    {
        Win32Registry registry;
        const RegHandle key = registry.CreateKey(RegRoot::CurrentUser, kScratch);
        for (const auto& [kind, name, value, stored] : rows) {
            const bool written = kind == 'S'   ? registry.SetString(key, name, value)
                                 : kind == 'N' ? registry.SetNumber(key, name, std::stoi(value))
                                               : registry.SetFlagByte(key, name, std::stoi(value));
            CHECK_MESSAGE(written, std::string(name));
        }
    }
    for (const auto& [kind, name, value, stored] : rows)
        CHECK(Stored(HKEY_CURRENT_USER, name) == stored);
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    // A driver the system does not know: the installer call answers false.
    CHECK_FALSE(Win32Installer().ConfigDataSource(0, 1, "Vendaro No Such Driver",
                                                  std::string("DSN=None\0", 9)));
}

TEST_CASE("the message and input boxes give the button pressed and the text typed") {
    Win32Dialogs dialogs;
    testing::ModalDriver driver;
    std::string shown;
    driver.Then(testing::Answer("Vendaro!", IDYES, &shown));
    const MessageBoxRequest question{
        0, "Delete?", "Vendaro!", MsgButtons::YesNo, MsgIcon::Question, MsgDefault::Second};
    CHECK(dialogs.MessageBox(question) == MsgAnswer::Yes);
    CHECK(Win32Dialogs::MessageBoxFlags(question) ==  // no owner: the other windows wait too
          (MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TASKMODAL));
    CHECK(shown == "Delete?");
    driver.Then(testing::Answer("Clone", IDOK, nullptr, " Sales Copy "));
    CHECK(dialogs.InputBox(0, "New DSN Name", "Clone") == " Sales Copy ");
    driver.Then(testing::Answer("Clone", IDCANCEL, nullptr, "typed"));
    CHECK(dialogs.InputBox(0, "New DSN Name", "Clone").empty());
    CHECK(driver.Ok());
}

TEST_CASE("the choosers open in the start folder under their titles and give what is picked") {
    const test::TempDir dir;
    const std::string start = dir.path().string(), mdb = start + "\\pubs.mdb";
    const std::filesystem::path cwd = std::filesystem::current_path();
    test::WriteFile(mdb, "");
    Win32Dialogs dialogs;
    testing::ModalDriver driver;
    const OpenFileRequest request{0, std::string("Access (*.mdb)\0*.mdb\0", 22), "Pick it", start};
    std::string filter, file, status, folder;
    driver.Then([&] {  // a bare name is found in the start folder only
        filter = WindowText(GetDlgItem(testing::FindDialog("Pick it"), cmb1));
        return testing::Answer("Pick it", IDOK, nullptr, "pubs.mdb", cmb13)();
    });
    CHECK(dialogs.OpenFile(request, file));
    CHECK(filter == "Access (*.mdb)");
    CHECK(lstrcmpiA(file.c_str(), mdb.c_str()) == 0);
    std::filesystem::current_path(cwd);  // the file chooser made the start folder current
    driver.Then(testing::Answer("Pick it", IDCANCEL));
    CHECK_FALSE(dialogs.OpenFile(request, file));
    CHECK(file.empty());
    driver.Then([&] {  // the folder chooser's status line, once the start folder is selected
        status = WindowText(GetDlgItem(testing::FindDialog(nullptr), 0x3743));
        return !status.empty() && testing::Answer(nullptr, IDOK)();
    });
    CHECK(dialogs.BrowseFolder(0, "Select Directory", start, folder));
    CHECK(lstrcmpiA(folder.c_str(), start.c_str()) == 0);
    CHECK(lstrcmpiA(status.c_str(), start.c_str()) == 0);
    CHECK(driver.Ok());
}

}  // namespace vendaro::win32

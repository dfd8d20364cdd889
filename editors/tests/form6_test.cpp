// The Access editor and its advanced options: stories and rules.
#include "editors/tests/stories.h"
#include "store/cipher.h"

namespace vendaro::test {
namespace {

const std::string kFull =
    "[A]\nDSN_Driver=Microsoft Access Driver (*.mdb)\nDescription=d\nDBQ=C:\\data\\a.mdb\n"
    "SystemDB=C:\\s.mdw\nPageTimeout=30\nMaxBufferSize=4096\nExclusive=1\nReadOnly=1\n";
const std::string kDriver = "Microsoft Access Driver (*.mdb)";
const std::string kSaved = "\nsaved*S " + kDriver + " DSN script edited. {A|d|" + kDriver + "} A:d";

TEST_CASE("Access editor stories") {
    Tell<Form6>(
        "", {{"every field saved", nullptr,
              [](Form6& e, EditorFixture& f) {
                  e.Text1_Change("A");
                  e.Text2_Change("d");
                  f.recording.open_file_answers = {"C:\\data\\a.mdb", "C:\\s.mdw"};
                  e.Command3_Click();
                  e.Option2_Click();
                  e.Command5_Click();
                  e.Command7_Click();
                  e.Text3_Change("30");
                  e.Text4_Change(" 4096");
                  e.Text4_LostFocus();
                  e.Text3_LostFocus();
                  e.Check1_Click();
                  e.Check2_Click();
                  e.Command4_Click();
              },
              kFull + "<OpenFile Select Database|C:\\><OpenFile Select System Database|C:\\>()" +
                  With(With(kSaved, "edited", "added"), " A:d", "")}});
    Tell<Form6>(
        kFull,
        {
            {"loads every key: saved, the file keeps every byte", "A",
             [](Form6& e, auto&) { e.Command4_Click(); }, kFull + "()()" + With(kSaved, "*", "")},
            {"a new script without a database writes none; None removes the system database",
             nullptr,
             [](Form6& e, auto&) {
                 e.Text1_Change("A");
                 e.Option2_Click();
                 e.Command4_Click();
             },
             "[A]\nDSN_Driver=" + kDriver +
                 "\nDBQ=C:\\data\\a.mdb\nPageTimeout=5\nMaxBufferSize=2048\nExclusive=0\nReadOnly="
                 "0\n()" +
                 "\nsaved*S " + kDriver + " DSN script added. {A||" + kDriver + "}"},
            {"an earlier change still makes Cancel ask after an untouched advanced dialog", "A",
             [](Form6& e, EditorFixture& f) {
                 e.Text2_Change("typed");
                 f.windows.advanced = [](Form7& d) { d.Command2_Click(); };
                 e.Command6_Click();
                 e.Command2_Click();
             },
             kFull + "()()" + kQuestion + "\ncancelled*  {||} A:Listed"},
            {"saved by the advanced dialog only, the row shows the description the file holds", "A",
             [](Form6& e, EditorFixture& f) {
                 e.Text2_Change("typed");
                 f.windows.advanced = [](Form7& d) { d.Command1_Click(); };
                 e.Command6_Click();
                 e.Form_KeyPress(kKeyAsciiEscape);
             },
             kFull +
                 "ExtendedAnsiSQL=0\nFIL=MS Access;\nMaxScanRows=8\nSafeTransactions=0\nThreads=3\n"
                 "UserCommitSync=Yes\n()()()\nescaped*S  {A|d|" +
                 kDriver + "} A:d"},
            {"the advanced dialog works on the name typed; the editor's own Save comes last", "A",
             [](Form6& e, EditorFixture& f) {
                 e.Text1_Change(" Renamed ");
                 e.Command7_Click();
                 e.Text3_Change("45");
                 f.windows.advanced = [](Form7& d) {
                     CHECK(d.Text1.text.empty());
                     d.Text1_Change("user");
                     d.Command1_Click();
                 };
                 e.Command6_Click();
                 e.Command4_Click();
             },
             "[Renamed]\nUID=user\nExtendedAnsiSQL=0\nFIL=MS "
             "Access;\nMaxBufferSize=4096\nMaxScanRows=8\n"
             "PageTimeout=45\nReadOnly=1\nSafeTransactions=0\nThreads=3\nUserCommitSync=Yes\nDSN_"
             "Driver=" +
                 kDriver +
                 "\nDescription=d\nDBQ=C:\\data\\a.mdb\nSystemDB=C:\\s.mdw\nExclusive=1\n()()()()" +
                 With(With(kSaved, "{A", "{Renamed"), "A:d", "Renamed:d")},
        });
}

std::string Flags(Form6& e, EditorFixture& f) {
    return std::string(1, Mark(e.Option1.selected, true)) +
           Mark(e.Option2.selected, e.Command5.enabled) + Mark(e.Check1.checked, e.Check1.visible) +
           Mark(e.Check2.checked, e.Frame3.visible) + " " + e.Label3.caption + "|" +
           e.Option2.caption + "|" + e.Text3.text + "|" + e.Text4.text + " " +
           std::to_string(e.OuterHeight) + (e.Command7.enabled ? "" : " long") +
           (f.shared.ScriptDirty ? "*" : "") + " " + std::to_string(f.recording.calls.size());
}

TEST_CASE("Access editor: the rules") {
    Tell<Form6>("",
                {
                    {"the driver options are out of reach until Options>>", nullptr,
                     [](Form6& e, auto&) {
                         e.Check1_Click();
                         e.Check2_Click();
                     },
                     "Xooo Database:|Da&tabase:|5|2048 4695 0"},
                    {"Options>> lengthens the form once", nullptr,
                     [](Form6& e, auto&) {
                         e.Command7_Click();
                         e.Command7_Click();
                         e.Check1_Click();
                     },
                     "XoXO Database:|Da&tabase:|5|2048 6180 long* 0"},
                    {"None disables the system database button and keeps the path", nullptr,
                     [](Form6& e, EditorFixture& f) {
                         e.Option2_Click();
                         f.recording.open_file_answers = {"C:\\s.mdw"};
                         e.Command5_Click();
                         e.Option1_Click();
                         e.Command5_Click();
                     },
                     "Xooo Database:|Da&tabase: C:\\s.mdw|5|2048 4695* 1"},
                    {"cancelled choosers change nothing", nullptr,
                     [](Form6& e, EditorFixture& f) {
                         e.Option2_Click();
                         f.shared.ScriptDirty = false;
                         e.Command5_Click();
                         e.Command3_Click();
                     },
                     "OXoo Database:|Da&tabase:|5|2048 4695 2"},
                    {"the digits-only fields", nullptr,
                     [](Form6& e, auto&) {
                         CHECK((e.Text3_KeyPress('.') == 0 && e.Text4_KeyPress('4') == '4'));
                         e.Text3_Change("abc");
                         e.Text4_Change("0042abc");
                         e.Text3_LostFocus();
                         e.Text4_LostFocus();
                     },
                     "Xooo Database:|Da&tabase:|0|42 4695* 0"},
                },
                Flags);
    Tell<Form6>("[S]\nSystemDB=C:\\s.mdw\nExclusive=Yes\nReadOnly=1\nPageTimeout=10\n",
                {{"odd stored values; no database", "S", [](Form6&, auto&) {},
                  "OXox Database: |Da&tabase: C:\\s.mdw|10| 4695 2"}},
                Flags);
}

const std::string kAdvanced = "[S]\nDSN_Driver=" + kDriver + "\nDescription=Stored\nUID=dba\nPWD=" +
                              EncipherText("pass", kCipherKey) +
                              "\nDriverJet=C:\\jet.dll\nThreads=5\nImplicitCommitSync=x\n";

// Keys typed into the value box: '\b' Backspace, '\x7F' the Delete key at the box's start;
// other control codes are only pressed.
void Type(Form7& d, const std::string& keys) {
    for (char c : keys) {
        std::string text = d.Text3.text;
        if (c == '\x7F') {
            d.Text3_KeyDown(kKeyCodeDelete);
            text.erase(0, 1);
        } else if (d.Text3_KeyPress(c) == '\b') {
            if (!text.empty()) text.pop_back();
        } else if (c >= ' ') {
            text += c;
        }
        d.Text3_Change(text);
    }
}

TEST_CASE("Access advanced options stories") {
    const std::string tail = "\nsaved*S  {S|Stored|" + kDriver + "} S:Listed";
    Tell<Form7>(kAdvanced,
                {
                    {"loads every key: saved untouched, the defaults added", "S",
                     [](Form7& d, auto&) { d.Command1_Click(); },
                     kAdvanced +
                         "ExtendedAnsiSQL=0\nFIL=MS "
                         "Access;\nMaxBufferSize=2048\nMaxScanRows=8\nPageTimeout=5\n"
                         "ReadOnly=0\nSafeTransactions=0\nUserCommitSync=Yes\n()()" +
                         With(tail, "*", "")},
                    {"rows edited through the value box", "S",
                     [](Form7& d, auto&) {
                         Type(d, "z\b\x7F");
                         d.List1_Click(12);
                         d.List1_Click(-1);
                         CHECK(d.List1.selected == -1);
                         d.List1_Click(6);
                         Type(d, "0");
                         d.List1_Click(0);
                         Type(d, "C:");
                         d.List1_Click(4);
                         Type(d, "\b");
                         d.Text3_Change("7");
                         d.List1_Click(3);
                         Type(d, "\x7Fx");
                         d.List1_Click(11);
                         d.Text3_KeyPress('N');
                         d.Text3_Change("N");
                         Type(d, "o");
                         d.List1_Click(10);
                         Type(d, "\b\b");
                         d.List1_Click(1);
                         Type(d, "\x7F");
                         d.List1_Click(5);
                         Type(d, "\x01\x16");
                         d.Text3_Change("\x01");
                         d.Text3_KeyDown(0x25);
                         d.Text1_Change(" admin ");
                         d.Text2_Change("   ");
                         d.Command1_Click();
                     },
                     "[S]\nDSN_Driver=" + kDriver +
                         "\nDescription=Stored\nUID=admin\nThreads=5\nDefaultDir=C:\n"
                         "ExtendedAnsiSQL=0\nFIL=x\nMaxBufferSize=2048\nMaxScanRows="
                         "80\nPageTimeout=5\nReadOnly=0\n"
                         "SafeTransactions=0\nUserCommitSync=No\n()()" +
                         tail},
                    {"Cancel answered Yes goes to Save; No closes; nothing written", "S",
                     [](Form7& d, EditorFixture& f) {
                         d.Text1_Change("other");
                         f.recording.message_answers = {MsgAnswer::Yes};
                         d.Command2_Click();
                         CHECK(d.focus_request == "Command1");
                         d.Command2_Click();
                     },
                     kAdvanced + "()" + kQuestion + kQuestion + "\ncancelled*  {||} S:Listed"},
                    {"untouched, Cancel asks nothing", "S",
                     [](Form7& d, auto&) {
                         d.List1_Click(0);
                         d.Command2_Click();
                     },
                     kAdvanced + "()\ncancelled  {||} S:Listed"},
                    {"a blank name: nothing to read or write", "  ",
                     [](Form7& d, auto&) {
                         CHECK(d.Text1.text.empty());
                         d.Command1_Click();
                     },
                     kAdvanced + "()\nsaved  {||}   :Listed"},
                    {"a password the file cannot keep is refused", "S",
                     [](Form7& d, auto&) {
                         d.Text2_Change("\xFA");
                         d.Command1_Click();
                     },
                     kAdvanced + "()" + kUnstorable + "\nopen*  {||} S:Listed"},
                    {"a Save whose write fails", "S",
                     [](Form7& d, EditorFixture& f) {
                         f.recording.fail_prefixes = {"Profile"};
                         d.Command1_Click();
                     },
                     kAdvanced + "()()" + kSaveFailed + "\nopen  {||} S:Listed"},
                });
}

}  // namespace
}  // namespace vendaro::test

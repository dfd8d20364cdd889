// The dBase editor: stories and rules.
#include "editors/tests/stories.h"

namespace vendaro::test {
namespace {

const std::string kFull =
    "[D]\nDSN_Driver=Microsoft dBase Driver (*.dbf)\nDescription=d\nFIL=dBase III\n"
    "DefaultDir=C:\\dbase\\tables\nCollatingSequence=Swedish-Finnish\nPageTimeout=30\nExclusive=1\n"
    "Deleted=1\nStatistics=1\n";
const std::string kSaved =
    "\nsaved*S Microsoft dBase Driver (*.dbf) DSN script edited. {D|d|Microsoft dBase Driver "
    "(*.dbf)} D:d";

TEST_CASE("dBase editor stories") {
    Tell<Form8>("", {{"every field saved", nullptr,
                      [](Form8& e, EditorFixture& f) {
                          e.Text1_Change("D");
                          e.Text2_Change("d");
                          e.Combo1_Click(0);
                          e.Check1_Click();
                          f.recording.open_file_answers = {"C:\\dbase\\tables\\people.dbf"};
                          e.Command4_Click();
                          e.Command3_Click();
                          e.Combo2_Click(3);
                          e.Text3_Change("30");
                          e.Text3_LostFocus();
                          e.Check2_Click();
                          e.Check3_Click();
                          e.Check4_Click();
                          e.Command1_Click();
                      },
                      kFull + "<OpenFile Select Directory|~>()" +
                          With(With(kSaved, "edited", "added"), " D:d", "")}});
    const std::string odd =
        With(With(kFull, "dBase III", "DBASE IV"), "Swedish-Finnish", "Klingon");
    Tell<Form8>(
        odd,
        {
            {"loads every key, items the lists lack too: saved, the file keeps every byte", "D",
             [](Form8& e, auto&) { e.Command1_Click(); }, odd + "()()" + With(kSaved, "*", "")},
            {"the current directory: DefaultDir removed", "D",
             [](Form8& e, auto&) {
                 e.Check1_Click();
                 e.Command1_Click();
             },
             With(odd, "DefaultDir=C:\\dbase\\tables\n", "") + "()()" + With(kSaved, "*", "")},
            {"a directory change alone: Cancel asks nothing", "D",
             [](Form8& e, auto&) {
                 e.Check1_Click();
                 e.Command2_Click();
             },
             odd + "()\ncancelled  {||} D:Listed"},
        });
}

std::string Flags(Form8& e, EditorFixture& f) {
    std::string s = e.Combo1.text() + "|" + e.Combo2.text() + "|" +
                    With(e.Label4.caption, f.dir.path(), "~") + "|" + e.Text3.text + " ";
    for (const CheckBox* c : {&e.Check1, &e.Check2, &e.Check3, &e.Check4})
        s += Mark(c->checked, c->visible);
    return s + (e.Command4.enabled ? " pick " : " ") + std::to_string(e.OuterHeight) +
           (e.Command3.enabled ? "" : " long") + (f.shared.ScriptDirty ? "*" : "") + " " +
           std::to_string(f.recording.calls.size());
}

TEST_CASE("dBase editor: the rules") {
    Tell<Form8>(
        "",
        {
            {"the driver options are out of reach until Options>>", nullptr,
             [](Form8& e, auto&) {
                 e.Combo2_Click(1);
                 e.Check2_Click();
                 e.Check3_Click();
                 e.Check4_Click();
             },
             "dBase 5.0|ASCII|Directory: ~|600 Xooo 3250 0"},
            {"Options>> lengthens the form once; items out of range are no click", nullptr,
             [](Form8& e, auto&) {
                 e.Command3_Click();
                 e.Command3_Click();
                 e.Combo2_Click(3);
                 e.Check3_Click();
                 e.Combo1_Click(0);
                 e.Combo1_Click(3);
                 e.Combo2_Click(-1);
             },
             "dBase III|Swedish-Finnish|Directory: ~|600 XOXO 4590 long* 0"},
            {"the chooser works only while the current directory is not used", nullptr,
             [](Form8& e, EditorFixture& f) {
                 f.recording.open_file_answers = {"C:\\a\\b.dbf"};
                 e.Command4_Click();
                 e.Check1_Click();
                 e.Check1_Click();
             },
             "dBase 5.0|ASCII|Directory: ~|600 Xooo 3250 0"},
            {"the folder of the picked file, no change of the script", nullptr,
             [](Form8& e, EditorFixture& f) {
                 e.Check1_Click();
                 f.recording.open_file_answers = {"C:\\dbase\\tables\\people.dbf", "C:\\people.dbf",
                                                  "nofolder"};
                 for (int n = 0; n < 4; ++n) e.Command4_Click();
                 CHECK(f.recording.calls[1].substr(f.recording.calls[1].rfind('|')) ==
                       "|C:\\dbase\\tables");
                 CHECK(f.recording.calls[3].substr(f.recording.calls[3].rfind('|')) == "|C:");
             },
             "dBase 5.0|ASCII|Directory: C:|600 Oooo pick 3250 4"},
            {"the digits-only page timeout", nullptr,
             [](Form8& e, auto&) {
                 CHECK((e.Text3_KeyPress('e') == 0 && e.Text3_KeyPress('9') == '9'));
                 e.Text3_Change("2e3");
                 e.Text3_LostFocus();
             },
             "dBase 5.0|ASCII|Directory: ~|2000 Xooo 3250* 0"},
        },
        Flags);
    Tell<Form8>("[S]\nFIL=dBase IV\nExclusive=Yes\nDeleted=1\n",
                {{"no directory, odd stored values", "S", [](Form8&, auto&) {},
                  "dBase IV|ASCII|Directory:| Xoxo 3250 2"}},
                Flags);
}

}  // namespace
}  // namespace vendaro::test

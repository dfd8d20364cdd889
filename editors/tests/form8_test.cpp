// The dBase editor: stories and rules.
#include "editors/tests/test_support.h"

namespace vendaro::test {
namespace {

// clang-format off
const Actions<Form8> kForm8 = {
    TEXT(Text1), TEXT(Text2), TEXT(Text3), LEAVE(Text3), CLICK(Check1), CLICK(Check2),
    CLICK(Check3), CLICK(Check4), CLICK(Command3), CLICK(Command4),
    ACT("Combo1=", e.Combo1_Click(std::stoi(v))), ACT("Combo2=", e.Combo2_Click(std::stoi(v))),
    ACT("Save", e.Command1_Click()), ACT("Cancel", e.Command2_Click())};
// clang-format on
const std::string kFull =
    "[D]\nDSN_Driver=Microsoft dBase Driver (*.dbf)\nDescription=d\nFIL=dBase III\n"
    "DefaultDir=C:\\dbase\\tables\nCollatingSequence=Swedish-Finnish\nPageTimeout=30\n"
    "Exclusive=1\nDeleted=1\nStatistics=1\n";
const std::string kSaved =
    " savedS Microsoft dBase Driver (*.dbf) DSN script edited. {D|d|Microsoft dBase Driver "
    "(*.dbf)} D:d";

TEST_CASE("dBase editor stories") {
    Tell<Form8>(
        kForm8, "",
        {{nullptr,
          "Text1=D;Text2=d;Combo1=0;Check1;file=C:\\dbase\\tables\\people.dbf;Command4;Command3;"
          "Combo2=3;Text3=30;Text3.;Check2;Check3;Check4;Save",
          Added(kFull) + "<OpenFile Select Directory|~>()" +
              With(With(kSaved, "savedS", "saved*S"),
                   "edited. {D|d|Microsoft dBase Driver (*.dbf)} D:d",
                   "added. {D|d|Microsoft dBase Driver (*.dbf)}")}});
    Tell<Form8>(kForm8, With(With(kFull, "dBase III", "DBASE IV"), "Swedish-Finnish", "Klingon"),
                {{"D", "Save", "()()" + kSaved},
                 {"D", "Check1;Save", "-DefaultDir=C:\\dbase\\tables\n()()" + kSaved},
                 {"D", "Check1;Cancel", "() cancelled  {||} D:Listed"}});
}

std::string Flags(Form8& e, EditorFixture& f) {
    std::string s =
        e.Combo1.text() + "|" + e.Combo2.text() + "|" + e.Label4.caption + "|" + e.Text3.text + " ";
    for (const CheckBox* c : {&e.Check1, &e.Check2, &e.Check3, &e.Check4}) {
        s += Mark(c->checked, c->visible);
    }
    s += (e.Command4.enabled ? " pick " : " ") + std::to_string(e.OuterHeight) +
         (e.Command3.enabled ? "" : " long") + (f.shared.ScriptDirty ? "* " : " ");
    for (const std::string& call : f.recording.calls) {
        s += call[0] == 'O' ? "<" + call.substr(call.rfind('|') + 1) + ">" : call.substr(5, 2);
    }
    return f.Masked(s);
}

TEST_CASE("dBase editor: the rules") {
    Tell<Form8>(
        kForm8, "",
        {{nullptr, "Combo2=1;Check2;Check3;Check4", "dBase 5.0|ASCII|Directory: ~|600 Xooo 3250 "},
         {nullptr, "Command3;Command3;Combo2=3;Check3;Combo1=0;Combo1=3;Combo2=-1",
          "dBase III|Swedish-Finnish|Directory: ~|600 XOXO 4590 long* "},
         {nullptr, "file=C:\\a\\b.dbf;Command4;Check1;Check1",
          "dBase 5.0|ASCII|Directory: ~|600 Xooo 3250 "},
         {nullptr,
          "Check1;file=C:\\dbase\\tables\\people.dbf;file=C:\\people.dbf;file=nofolder;Command4;"
          "Command4;Command4;Command4",
          "dBase 5.0|ASCII|Directory: C:|600 Oooo pick 3250 <~><C:\\dbase\\tables><C:><C:>"},
         {nullptr, "Text3=2e3;Text3.", "dBase 5.0|ASCII|Directory: ~|2000 Xooo 3250* "}},
        Flags);
    Tell<Form8>(kForm8, "[S]\nFIL=dBase IV\nExclusive=Yes\nDeleted=1\n",
                {{"S", "", "dBase IV|ASCII|Directory:| Xoxo 3250 onof"}}, Flags);
}

}  // namespace
}  // namespace vendaro::test

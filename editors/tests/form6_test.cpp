// The Access editor and its advanced options: stories and rules.
#include "editors/tests/test_support.h"
#include "store/cipher.h"

namespace vendaro::test {
namespace {

// The keys typed into the advanced options' value box: '\b' Backspace, '\x7F' the Delete key at
// the box's start; other control codes are only pressed.
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

// clang-format off
const Actions<Form7> kForm7 = {
    TEXT(Text1), TEXT(Text2), TEXT(Text3), ACT("Row=", e.List1_Click(std::stoi(v))),
    ACT("Type=", Type(e, v)), ACT("Press=", e.Text3_KeyPress(v[0])),
    ACT("Left", e.Text3_KeyDown(0x25)), ACT("Save", e.Command1_Click()),
    ACT("Cancel", e.Command2_Click())};
const Actions<Form6> kForm6 = {
    TEXT(Text1), TEXT(Text2), TEXT(Text3), TEXT(Text4), LEAVE(Text3), LEAVE(Text4), CLICK(Check1),
    CLICK(Check2), CLICK(Option1), CLICK(Option2), CLICK(Command3), CLICK(Command5),
    CLICK(Command7), ACT("Save", e.Command4_Click()), ACT("Cancel", e.Command2_Click()),
    ACT("Advanced=", f.windows.advanced = [&f, v](Form7& d) { Play(d, f, kForm7, v, ','); };
        e.Command6_Click())};
// clang-format on
const std::string kFull =
    "[A]\nDSN_Driver=Microsoft Access Driver (*.mdb)\nDescription=d\nDBQ=C:\\data\\a.mdb\n"
    "SystemDB=C:\\s.mdw\nPageTimeout=30\nMaxBufferSize=4096\nExclusive=1\nReadOnly=1\n";
const std::string kDriver = "Microsoft Access Driver (*.mdb)";
const std::string kSaved = " saved*S " + kDriver + " DSN script edited. {A|d|" + kDriver + "} A:d";

TEST_CASE("Access editor stories") {
    Tell<Form6>(
        kForm6, "",
        {{nullptr,
          "Text1=A;Text2=d;file=C:\\data\\a.mdb;file=C:\\s.mdw;Command3;Option2;Command5;Command7;"
          "Text3=30;Text4= 4096;Text4.;Text3.;Check1;Check2;Save",
          Added(kFull) + "<OpenFile Select Database|C:\\><OpenFile Select System Database|C:\\>()" +
              With(With(kSaved, "edited", "added"), " A:d", "")}});
    Tell<Form6>(kForm6, kFull,
                {{"A", "Save", "()()" + With(kSaved, "*", "")},
                 {nullptr, "Text1=A;Option2;Save",
                  "-Description=d\n-SystemDB=C:\\s.mdw\n-PageTimeout=30\n-MaxBufferSize=4096\n-"
                  "Exclusive=1\n-ReadOnly=1\n+PageTimeout=5\n+MaxBufferSize=2048\n+Exclusive=0\n+"
                  "ReadOnly=0\n() saved*S " +
                      kDriver + " DSN script added. {A||" + kDriver + "}"},
                 {"A", "Text2=typed;Advanced=Cancel;Cancel",
                  "()()" + kQuestion + " cancelled*  {||} A:Listed"},
                 {"A", "Text2=typed;Advanced=Save;Esc",
                  "+ExtendedAnsiSQL=0\n+FIL=MS "
                  "Access;\n+MaxScanRows=8\n+SafeTransactions=0\n+Threads=3\n+UserCommitSync=Yes\n("
                  ")()() escaped*S  {A|d|" +
                      kDriver + "} A:d"},
                 {"A", "Text1= Renamed ;Command7;Text3=45;Advanced=Text1=user,Save;Save",
                  "-[A]\n+[Renamed]\n+UID=user\n+ExtendedAnsiSQL=0\n+FIL=MS "
                  "Access;\n+MaxBufferSize=4096\n+MaxScanRows=8\n+PageTimeout=45\n+ReadOnly=1\n+"
                  "SafeTransactions=0\n+Threads=3\n+UserCommitSync=Yes\n-PageTimeout=30\n-"
                  "MaxBufferSize=4096\n-ReadOnly=1\n()()()()" +
                      With(With(kSaved, "{A", "{Renamed"), "A:d", "Renamed:d")}});
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
    Tell<Form6>(
        kForm6, "",
        {{nullptr, "Check1;Check2", "Xooo Database:|Da&tabase:|5|2048 4695 0"},
         {nullptr, "Command7;Command7;Check1", "XoXO Database:|Da&tabase:|5|2048 6180 long* 0"},
         {nullptr, "Option2;file=C:\\s.mdw;Command5;Option1;Command5",
          "Xooo Database:|Da&tabase: C:\\s.mdw|5|2048 4695* 1"},
         {nullptr, "Option2;Clean;Command5;Command3", "OXoo Database:|Da&tabase:|5|2048 4695 2"},
         {nullptr, "Text3=abc;Text4=0042abc;Text3.;Text4.",
          "Xooo Database:|Da&tabase:|0|42 4695* 0"}},
        Flags);
    Tell<Form6>(kForm6, "[S]\nSystemDB=C:\\s.mdw\nExclusive=Yes\nReadOnly=1\nPageTimeout=10\n",
                {{"S", "", "OXox Database: |Da&tabase: C:\\s.mdw|10| 4695 2"}}, Flags);
}

TEST_CASE("Access advanced options stories") {
    const std::string given = "[S]\nDSN_Driver=" + kDriver + "\nDescription=Stored\nUID=dba\nPWD=" +
                              EncipherText("pass", kCipherKey) +
                              "\nDriverJet=C:\\jet.dll\nThreads=5\nImplicitCommitSync=x\n";
    const std::string saved = " saved*S  {S|Stored|" + kDriver + "} S:Listed";
    Tell<Form7>(
        kForm7, given,
        {{"S", "Save",
          "+ExtendedAnsiSQL=0\n+FIL=MS "
          "Access;\n+MaxBufferSize=2048\n+MaxScanRows=8\n+PageTimeout=5\n+ReadOnly=0\n+"
          "SafeTransactions=0\n+UserCommitSync=Yes\n()()" +
              With(saved, "*", "")},
         {"S",
          "Type=z\b\x7F;Row=12;Row=-1;Row=6;Type=0;Row=0;Type=C:;Row=4;Type=\b;Text3=7;Row=3;"
          "Type=\x7Fx;Row=11;Press=N;Text3=N;Type=o;Row=10;Type=\b\b;Row=1;Type=\x7F;Row=5;"
          "Type=\x01\x16;Text3=\x01;Left;Text1= admin ;Text2=   ;Save",
          "-UID=dba\n-PWD=" + EncipherText("pass", kCipherKey) +
              "\n-DriverJet=C:\\jet.dll\n+UID=admin\n-ImplicitCommitSync=x\n+DefaultDir=C:\n+"
              "ExtendedAnsiSQL=0\n+FIL=x\n+MaxBufferSize=2048\n+MaxScanRows=80\n+PageTimeout=5\n+"
              "ReadOnly=0\n+SafeTransactions=0\n+UserCommitSync=No\n()()" +
              saved},
         {"S", "Text1=other;Yes;Cancel;Cancel",
          "()" + kQuestion + kQuestion + " cancelled*  {||} S:Listed >Command1"},
         {"S", "Row=0;Cancel", "() cancelled  {||} S:Listed"},
         {"  ", "Save", "() saved  {||}   :Listed"},
         {"S", "Text2=\xFA;Save", "()" + kUnstorable + " open*  {||} S:Listed"},
         {"S", "Fail;Save", "()()" + kSaveFailed + " open  {||} S:Listed"}});
}

}  // namespace
}  // namespace vendaro::test

// The Adaptive Server Anywhere editor: its stories and its enable rules.
#include "editors/tests/stories.h"
#include "store/cipher.h"

namespace vendaro::test {
namespace {

const std::string kFull =
    "[S]\nDSN_Driver=Adaptive Server Anywhere 6.0\nDescription=Desc\nIsolationLevel=1\n"
    "KeysInSQLStatistics=Yes\nDelphi=Yes\nPreventNotCapable=Yes\nLazyAutoCommit=Yes\n"
    "DescribeCursor=Always\nUID=dba\nPWD=" +
    EncipherText("sql", kCipherKey) +
    "\nIntegrated=No\n"
    "Database=db\nStart=dbeng6\nEngineName=eng\nDatabaseFile=C:\\a.db\nAutoStart=No\nAutoStop=No\n"
    "CommLinks=TCPIP{host=x},IPX{spx},NetBIOS{lana=1}\nEncryption=Yes\nLivenessTimeout=60\n"
    "CommBufferSize=1024\nCommBufferSpace=7\nConnectionName=conn\nCharset=cp1252\n"
    "DisableMultiRowFetch=Yes\nLogFile=C:\\log.txt\nDebug=Yes\n";
const std::string kSaved =
    "\nsaved*S Adaptive Server Anywhere 6.0 DSN script edited. {S|Desc|Adaptive Server Anywhere "
    "6.0} S:Desc";

TEST_CASE("Adaptive Server Anywhere editor stories") {
    Tell<Form5>("",
                {{"every field saved", nullptr,
                  [](Form5& e, EditorFixture& f) {
                      e.Text1_Change("S");
                      e.Text2_Change(" Desc ");
                      e.Text3_Change(" 1 ");
                      for (auto click :
                           {&Form5::Check1_Click, &Form5::Check2_Click, &Form5::Check3_Click,
                            &Form5::Check4_Click, &Form5::Option3_Click, &Form5::Check7_Click,
                            &Form5::Check8_Click, &Form5::Check9_Click, &Form5::Check10_Click,
                            &Form5::Check11_Click, &Form5::Check12_Click, &Form5::Check13_Click})
                          (e.*click)();
                      e.Text4_Change(" dba ");
                      e.Text5_Change(" sql ");
                      e.Text6_Change(" eng ");
                      e.Text7_Change(" dbeng6 ");
                      e.Text8_Change(" db ");
                      f.recording.open_file_answers.push_back("C:\\a.db");
                      e.Command3_Click();
                      e.Check6_Click();
                      e.Text10_Change(" host=x ");
                      e.Text11_Change("spx");
                      e.Text12_Change("lana=1");
                      e.Text13_Change("060");
                      e.Text14_Change(" 1024");
                      e.Text15_Change("7 ");
                      e.Text13_LostFocus();
                      e.Text14_LostFocus();
                      e.Text15_LostFocus();
                      e.Text16_Change(" conn ");
                      e.Text17_Change(" cp1252 ");
                      e.Text18_Change(" C:\\log.txt ");
                      e.Command4_Click();
                  },
                  kFull + "<OpenFile Select a Database File|C:\\>()" +
                      With(With(kSaved, "edited", "added"), " S:Desc", "")}});
    Tell<Form5>(
        kFull, {
                   {"loads every key: saved, the file keeps every byte, the password too", "S",
                    [](Form5& e, auto&) {
                        e.Text2_Change("Desc");  // the description shown is the list's
                        e.Command4_Click();
                    },
                    kFull + "()()" + kSaved},
                   {"a password the file cannot keep is refused", "S",
                    [](Form5& e, auto&) {
                        e.Text5_Change("\xFA");
                        e.Command4_Click();
                    },
                    kFull + "()" + kUnstorable + "\nopen*  {||} S:Listed"},
                   {"integrated login: no password written, so none refused; UID and PWD stay", "S",
                    [](Form5& e, auto&) {
                        e.Text2_Change("Desc");
                        e.Text5_Change("\xFA");
                        e.Option4_Click();
                        e.Command4_Click();
                    },
                    With(kFull, "Integrated=No", "Integrated=Yes") + "()()" + kSaved},
                   {"a password of blanks and debugging off: PWD removed, LogFile kept", "S",
                    [](Form5& e, auto&) {
                        e.Text2_Change("Desc");
                        e.Text5_Change("   ");
                        e.Check13_Click();
                        e.Command4_Click();
                    },
                    With(With(kFull, "PWD=" + EncipherText("sql", kCipherKey) + "\n", ""),
                         "Debug=Yes", "Debug=No") +
                        "()()" + kSaved},
               });
}

// Check1..Check13, Option1..Option5 selected, enabled of the fields the rules tie, the page,
// the focus asked for, and ScriptDirty.
std::string Flags(Form5& e, EditorFixture& f) {
    std::string s;
    for (const CheckBox* c :
         {&e.Check1, &e.Check2, &e.Check3, &e.Check4, &e.Check5, &e.Check6, &e.Check7, &e.Check8,
          &e.Check9, &e.Check10, &e.Check11, &e.Check12, &e.Check13})
        s += Mark(c->checked, c->enabled);
    s += ' ';
    for (const OptionButton* o : {&e.Option1, &e.Option2, &e.Option3, &e.Option4, &e.Option5})
        s += o->selected ? '1' : '0';
    s += ' ';
    for (bool on : {e.Label4.enabled, e.Text4.enabled, e.Label5.enabled, e.Text5.enabled,
                    e.Text10.enabled, e.Text11.enabled, e.Text12.enabled, e.Text13.enabled,
                    e.Label16.enabled, e.Text18.enabled})
        s += on ? '1' : '0';
    return s + " " + std::to_string(e.active_page) + " " + e.focus_request +
           (f.shared.ScriptDirty ? "*" : "");
}

TEST_CASE("Adaptive Server Anywhere editor: the enable rules") {
    Tell<Form5>(
        "",
        {
            {"integrated login disables the user ID", nullptr,
             [](Form5& e, auto&) { e.Option4_Click(); }, "OOOOoxXOOOOXO 01010 0000000000 2 *"},
            {"and the user ID option enables it again", nullptr,
             [](Form5& e, auto&) {
                 e.Option4_Click();
                 e.Option5_Click();
             },
             "OOOOoxXOOOOXO 01001 1111000000 2 Text4*"},
            {"a database file enables the autostart box; blanks count", nullptr,
             [](Form5& e, auto&) {
                 e.Text9_Change("C");
                 e.Text9_Change("");
                 e.Text9_Change(" ");
             },
             "OOOOoXXOOOOXO 01001 1111000000 2 *"},
            {"a database file emptied disables it", nullptr,
             [](Form5& e, auto&) {
                 e.Text9_Change("C");
                 e.Text9_Change("");
                 e.Check6_Click();
             },
             "OOOOoxXOOOOXO 01001 1111000000 2 *"},
            {"TCP/IP enables its options and the liveness timeout", nullptr,
             [](Form5& e, auto&) { e.Check8_Click(); }, "OOOOoxXXOOOXO 01001 1111100100 2 Text10*"},
            {"IPX too", nullptr, [](Form5& e, auto&) { e.Check9_Click(); },
             "OOOOoxXOXOOXO 01001 1111010100 2 Text11*"},
            {"the liveness timeout stays while one of them is checked", nullptr,
             [](Form5& e, auto&) {
                 e.Check8_Click();
                 e.Check9_Click();
                 e.Check8_Click();
             },
             "OOOOoxXOXOOXO 01001 1111010100 2 Text11*"},
            {"and goes with the last", nullptr,
             [](Form5& e, auto&) {
                 e.Check9_Click();
                 e.Check8_Click();
                 e.Check9_Click();
                 e.Check8_Click();
             },
             "OOOOoxXOOOOXO 01001 1111000000 2 Text10*"},
            {"NetBIOS enables its options only", nullptr,
             [](Form5& e, auto&) { e.Check10_Click(); },
             "OOOOoxXOOXOXO 01001 1111001000 2 Text12*"},
            {"NetBIOS unchecked", nullptr,
             [](Form5& e, auto&) {
                 e.Check10_Click();
                 e.Check10_Click();
             },
             "OOOOoxXOOOOXO 01001 1111000000 2 Text12*"},
            {"debugging enables the log file", nullptr, [](Form5& e, auto&) { e.Check13_Click(); },
             "OOOOoxXOOOOXX 01001 1111000011 2 Text18*"},
            {"disabled boxes, other pages, unchanged numbers and closed forms change nothing",
             nullptr,
             [](Form5& e, auto&) {
                 e.Check5_Click();
                 e.Check6_Click();
                 e.SSTab1_Click(5);
                 e.SSTab1_Click(-1);
                 e.Text14_LostFocus();
                 e.Form_Unload();
                 e.Check1_Click();
                 e.Option4_Click();
             },
             "OOOOoxXOOOOXO 01001 1111000000 2 "},
            {"the first and last page", nullptr,
             [](Form5& e, auto&) {
                 e.SSTab1_Click(4);
                 e.SSTab1_Click(0);
                 e.Option1_Click();
                 e.Option2_Click();
             },
             "OOOOoxXOOOOXO 01001 1111000000 0 *"},
        },
        Flags);
    Tell<Form5>(
        "[S]\nKeysInSQLStatistics=yes\nDelphi=true\nDescribeCursor=always\nIntegrated=YES\n"
        "DisableMultiRowFetch=YES\nCommLinks=TCPIP{},IPX{}\nDebug=yes\nAutoStart=no\n",
        {{"odd stored values load as the rules say; loading moves no focus", "S",
          [](Form5&, auto&) {}, "XOOOooOXXOOOX 00110 0000110111 2 "}},
        Flags);
    Tell<Form5>("[S]\nDescribeCursor=NO\nDatabaseFile=x\nCommLinks=netbios{}\n",
                {{"and more of them", "S", [](Form5& e, auto&) { e.Option3_Click(); },
                  "OOOOoOOOOXOXO 00101 1111001000 2 *"}},
                Flags);
}

}  // namespace
}  // namespace vendaro::test

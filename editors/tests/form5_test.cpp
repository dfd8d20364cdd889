// The Adaptive Server Anywhere editor: its stories and its enable rules.
#include "editors/tests/test_support.h"
#include "store/cipher.h"

namespace vendaro::test {
namespace {

// clang-format off
const Actions<Form5> kForm5 = {
    TEXT(Text1), TEXT(Text2), TEXT(Text3), TEXT(Text4), TEXT(Text5), TEXT(Text6), TEXT(Text7),
    TEXT(Text8), TEXT(Text9), TEXT(Text10), TEXT(Text11), TEXT(Text12), TEXT(Text13),
    TEXT(Text14), TEXT(Text15), TEXT(Text16), TEXT(Text17), TEXT(Text18), LEAVE(Text13),
    LEAVE(Text14), LEAVE(Text15), CLICK(Check1), CLICK(Check2), CLICK(Check3), CLICK(Check4),
    CLICK(Check5), CLICK(Check6), CLICK(Check7), CLICK(Check8), CLICK(Check9), CLICK(Check10),
    CLICK(Check11), CLICK(Check12), CLICK(Check13), CLICK(Option1), CLICK(Option2),
    CLICK(Option3), CLICK(Option4), CLICK(Option5), CLICK(Command3),
    ACT("SSTab1=", e.SSTab1_Click(std::stoi(v))), ACT("Save", e.Command4_Click())};
// clang-format on
const std::string kPwd = "PWD=" + EncipherText("sql", kCipherKey) + "\n";
const std::string kFull =
    "[S]\nDSN_Driver=Adaptive Server Anywhere 6.0\nDescription=Desc\nIsolationLevel=1\n"
    "KeysInSQLStatistics=Yes\nDelphi=Yes\nPreventNotCapable=Yes\nLazyAutoCommit=Yes\n"
    "DescribeCursor=Always\nUID=dba\n" +
    kPwd +
    "Integrated=No\nDatabase=db\nStart=dbeng6\n"
    "EngineName=eng\nDatabaseFile=C:\\a.db\nAutoStart=No\nAutoStop=No\n"
    "CommLinks=TCPIP{host=x},IPX{spx},NetBIOS{lana=1}\nEncryption=Yes\nLivenessTimeout=60\n"
    "CommBufferSize=1024\nCommBufferSpace=7\nConnectionName=conn\nCharset=cp1252\n"
    "DisableMultiRowFetch=Yes\nLogFile=C:\\log.txt\nDebug=Yes\n";
const std::string kSaved =
    " saved*S Adaptive Server Anywhere 6.0 DSN script edited. {S|Desc|Adaptive Server Anywhere "
    "6.0} S:Desc";

TEST_CASE("Adaptive Server Anywhere editor stories") {
    Tell<Form5>(
        kForm5, "",
        {{nullptr,
          "Text1=S;Text2= Desc ;Text3= 1 ;Check1;Check2;Check3;Check4;Option3;Check7;Check8;Check9;"
          "Check10;Check11;Check12;Check13;Text4= dba ;Text5= sql ;Text6= eng ;Text7= dbeng6 ;"
          "Text8= db ;file=C:\\a.db;Command3;Check6;Text10= host=x ;Text11=spx;Text12=lana=1;"
          "Text13=060;Text14= 1024;Text15=7 ;Text13.;Text14.;Text15.;Text16= conn ;Text17= cp1252 ;"
          "Text18= C:\\log.txt ;Save",
          Added(kFull) + "<OpenFile Select a Database File|C:\\>()" +
              With(With(kSaved, "edited", "added"), " S:Desc", " >Text18")}});
    Tell<Form5>(kForm5, kFull,
                {{"S", "Text2=Desc;Save", "()()" + kSaved},
                 {"S", "Text5=\xFA;Save", "()" + kUnstorable + " open*  {||} S:Listed"},
                 {"S", "Text2=Desc;Text5=\xFA;Option4;Save",
                  "-Integrated=No\n+Integrated=Yes\n()()" + kSaved},
                 {"S", "Text2=Desc;Text5=   ;Check13;Save",
                  "-" + kPwd + "-Debug=Yes\n+Debug=No\n()()" + kSaved}});
}

// Check1..Check13, Option1..Option5 selected, enabled of the fields the rules tie, the page,
// the focus asked for, and ScriptDirty.
std::string Flags(Form5& e, EditorFixture& f) {
    std::string s;
    for (const CheckBox* c :
         {&e.Check1, &e.Check2, &e.Check3, &e.Check4, &e.Check5, &e.Check6, &e.Check7, &e.Check8,
          &e.Check9, &e.Check10, &e.Check11, &e.Check12, &e.Check13}) {
        s += Mark(c->checked, c->enabled);
    }
    s += ' ';
    for (const OptionButton* o : {&e.Option1, &e.Option2, &e.Option3, &e.Option4, &e.Option5}) {
        s += o->selected ? '1' : '0';
    }
    s += ' ';
    for (bool on : {e.Label4.enabled, e.Text4.enabled, e.Label5.enabled, e.Text5.enabled,
                    e.Text10.enabled, e.Text11.enabled, e.Text12.enabled, e.Text13.enabled,
                    e.Label16.enabled, e.Text18.enabled}) {
        s += on ? '1' : '0';
    }
    return s + " " + std::to_string(e.active_page) + " " + e.focus_request +
           (f.shared.ScriptDirty ? "*" : "");
}

TEST_CASE("Adaptive Server Anywhere editor: the enable rules") {
    Tell<Form5>(
        kForm5, "",
        {{nullptr, "Option4", "OOOOoxXOOOOXO 01010 0000000000 2 *"},
         {nullptr, "Option4;Option5", "OOOOoxXOOOOXO 01001 1111000000 2 Text4*"},
         {nullptr, "Text9=C;Text9=;Text9= ", "OOOOoXXOOOOXO 01001 1111000000 2 *"},
         {nullptr, "Text9=C;Text9=;Check6", "OOOOoxXOOOOXO 01001 1111000000 2 *"},
         {nullptr, "Check8", "OOOOoxXXOOOXO 01001 1111100100 2 Text10*"},
         {nullptr, "Check9", "OOOOoxXOXOOXO 01001 1111010100 2 Text11*"},
         {nullptr, "Check8;Check9;Check8", "OOOOoxXOXOOXO 01001 1111010100 2 Text11*"},
         {nullptr, "Check9;Check8;Check9;Check8", "OOOOoxXOOOOXO 01001 1111000000 2 Text10*"},
         {nullptr, "Check10", "OOOOoxXOOXOXO 01001 1111001000 2 Text12*"},
         {nullptr, "Check10;Check10", "OOOOoxXOOOOXO 01001 1111000000 2 Text12*"},
         {nullptr, "Check13", "OOOOoxXOOOOXX 01001 1111000011 2 Text18*"},
         {nullptr, "Check5;Check6;SSTab1=5;SSTab1=-1;Text14.;Close;Check1;Option4",
          "OOOOoxXOOOOXO 01001 1111000000 2 "},
         {nullptr, "SSTab1=4;SSTab1=0;Option1;Option2", "OOOOoxXOOOOXO 01001 1111000000 0 *"}},
        Flags);
    Tell<Form5>(kForm5,
                "[S]\nKeysInSQLStatistics=yes\nDelphi=true\nDescribeCursor=always\nIntegrated=YES\n"
                "DisableMultiRowFetch=YES\nCommLinks=TCPIP{},IPX{}\nDebug=yes\nAutoStart=no\n",
                {{"S", "", "XOOOooOXXOOOX 00110 0000110111 2 "}}, Flags);
    Tell<Form5>(kForm5, "[S]\nDescribeCursor=NO\nDatabaseFile=x\nCommLinks=netbios{}\n",
                {{"S", "Option3", "OOOOoOOOOXOXO 00101 1111001000 2 *"}}, Flags);
}

}  // namespace
}  // namespace vendaro::test

#pragma once
// The Adaptive Server Anywhere script editor: five pages ("ODBC", "Login", "Database",
// "Network", "Advanced") over one script, with the enable rules that tie its fields together.
#include <array>

#include "editors/comm_links.h"
#include "editors/script_editor.h"

namespace vendaro {

class Form5 final : public ScriptEditor {
  public:
    static constexpr std::array<const char*, 5> kPages{"ODBC", "Login", "Database", "Network",
                                                       "Advanced"};
    static constexpr int kDatabasePage = 2;

    explicit Form5(const EditorContext& context);

    // The tab control: the user brings `page` (0..4) to the front.
    void SSTab1_Click(int page);

    // "ODBC" page
    void Text3_Change(std::string text);
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void Check4_Click();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    // "Login" page
    void Option4_Click();
    void Option5_Click();
    void Text4_Change(std::string text);
    void Text5_Change(std::string text);
    void Check5_Click();
    // "Database" page
    void Text6_Change(std::string text);
    void Text7_Change(std::string text);
    void Text8_Change(std::string text);
    void Text9_Change(std::string text);
    void Command3_Click();  // "&Browse..."
    void Check6_Click();
    void Check7_Click();
    // "Network" page
    void Check8_Click();
    void Text10_Change(std::string text);
    void Check9_Click();
    void Text11_Change(std::string text);
    void Check10_Click();
    void Text12_Change(std::string text);
    void Check11_Click();
    void Text13_Change(std::string text);
    void Text14_Change(std::string text);
    void Text15_Change(std::string text);
    // Digits-only fields: the code that reaches the field (0: discarded).
    int Text13_KeyPress(int key_ascii);
    int Text14_KeyPress(int key_ascii);
    int Text15_KeyPress(int key_ascii);
    void Text13_LostFocus();
    void Text14_LostFocus();
    void Text15_LostFocus();
    // "Advanced" page
    void Text16_Change(std::string text);
    void Text17_Change(std::string text);
    void Check12_Click();
    void Check13_Click();
    void Text18_Change(std::string text);

    void Command4_Click();  // "Save"
    void Command2_Click();  // "Cancel"

    int active_page = kDatabasePage;

    // "ODBC" page
    Label Label1{"Data &source name:"};
    Label Label2{"&Description:"};
    Label Label3{"Is&olation level:"};
    TextBox Text3;
    CheckBox Check1{"&Microsoft applications (Keys in SQLStatistics)"};
    CheckBox Check2{"Delp&hi applications"};
    CheckBox Check3{"&Prevent driver not capable errors"};
    CheckBox Check4{"Delay A&utoCommit until statement close"};
    Frame Frame1{"Describe Cursor Behavior"};
    OptionButton Option1{"&Never"};
    OptionButton Option2{"I&f required", true};
    OptionButton Option3{"Al&ways"};
    // "Login" page
    OptionButton Option4{"Use &integrated login"};
    OptionButton Option5{"Supply use&r ID and password", true};
    Label Label4{"&User ID:"};
    TextBox Text4;
    Label Label5{"&Password:"};
    TextBox Text5{"", true, true, true};
    CheckBox Check5{"&Encrypt password", false, false};
    // "Database" page
    Label Label6{"&Server name:"};
    TextBox Text6;
    Label Label7{"Sta&rt line:"};
    TextBox Text7;
    Label Label8{"&Database name:"};
    TextBox Text8;
    Label Label9{"Database &file:"};
    TextBox Text9;
    Button Command3{"&Browse..."};
    CheckBox Check6{"Au&tomatically start the database if it isn't running", true, false};
    CheckBox Check7{"A&utomatically shut down database after last disconnect", true};
    // "Network" page
    Label Label10{
        "Select the network protocols and specify any protocol specific options where "
        "necessary."};
    CheckBox Check8{"&TCP/IP"};
    TextBox Text10{"", false};
    CheckBox Check9{"I&PX"};
    TextBox Text11{"", false};
    CheckBox Check10{"Net&BIOS"};
    TextBox Text12{"", false};
    CheckBox Check11{"&Encrypt all network packets"};
    Label Label11{"&Liveness timeout:" + std::string(27, ' ') + "seconds"};
    TextBox Text13{"120", false};
    Label Label12{"Buffer &size:" + std::string(37, ' ') + "bytes"};
    TextBox Text14{"512"};
    Label Label13{"B&uffer space:" + std::string(34, ' ') + "KB"};
    TextBox Text15{"5"};
    // "Advanced" page
    Label Label14{"&Connection name:"};
    TextBox Text16;
    Label Label15{"Character &set:"};
    TextBox Text17;
    CheckBox Check12{"Allow &multiple record fetching", true};
    CheckBox Check13{"&Display debugging information in a log file"};
    Label Label16{"&Log file:", false};
    TextBox Text18{"", false};

    Button Command4{"Save", false};
    Button Command2{"Cancel"};

    // The boxes and option texts of the "Network" page, as the CommLinks build takes them.
    CommLinksBoxes NetworkBoxes() const;

  private:
    Button& SaveButton() override { return Command4; }
    void LoadScript(const std::string& name, const ListRow* row) override;
    bool SaveAllowed() override;
    void WriteOwnKeys(SectionKeys& writer) override;

    // Sets a box as a click would, running its rule when the value changes.
    void SetCheck(CheckBox& box, bool checked, void (Form5::*rule)());
    void SelectOption(OptionButton& option);
    void ClickCheck(CheckBox& box, void (Form5::*rule)());
    void ClickOption(OptionButton& option);
    void UserIdRule();
    void DatabaseFileRule();
    void TcpIpRule();
    void IpxRule();
    void NetBiosRule();
    void DebugRule();
    void LivenessRule();
    void NoRule() {}

    void LoadDescribeCursor(const std::string& section);
    void SaveDescribeCursor(SectionKeys& writer);
    void LoadLogin(const std::string& section);
    void SaveLogin(SectionKeys& writer);
    void LoadCommLinks(const std::string& section);
    void SaveCommLinks(SectionKeys& writer);
    void LoadLogFile(const std::string& section);
    void SaveLogFile(SectionKeys& writer);

    // The keys this editor shows, in the order Save writes them; each text trimmed.
    static std::span<const KeyField<Form5>> Keys();
};

inline std::span<const KeyField<Form5>> Form5::Keys() {
    constexpr TextValue kTrimmed = TextValue::Trimmed;
    constexpr CheckValue kYesNo = CheckValue::YesNo;
    static constexpr KeyField<Form5> kKeys[] = {
        {"IsolationLevel", &Form5::Text3, kTrimmed},
        {"KeysInSQLStatistics", &Form5::Check1, kYesNo},
        {"Delphi", &Form5::Check2, kYesNo},
        {"PreventNotCapable", &Form5::Check3, kYesNo},
        {"LazyAutoCommit", &Form5::Check4, kYesNo},
        {"DescribeCursor", &Form5::LoadDescribeCursor, &Form5::SaveDescribeCursor},
        {"UID", &Form5::LoadLogin, &Form5::SaveLogin},  // and "PWD", "Integrated"
        {"Database", &Form5::Text8, kTrimmed},
        {"Start", &Form5::Text7, kTrimmed},
        {"EngineName", &Form5::Text6, kTrimmed},
        {"DatabaseFile", &Form5::Text9, kTrimmed, &Form5::DatabaseFileRule},
        {"AutoStart", &Form5::Check6, kYesNo},
        {"AutoStop", &Form5::Check7, kYesNo},
        {"CommLinks", &Form5::LoadCommLinks, &Form5::SaveCommLinks},
        {"Encryption", &Form5::Check11, kYesNo},
        // The numbers are shown as stored; a missing key leaves the field empty.
        {"LivenessTimeout", &Form5::Text13, kTrimmed},
        {"CommBufferSize", &Form5::Text14, kTrimmed},
        {"CommBufferSpace", &Form5::Text15, kTrimmed},
        {"ConnectionName", &Form5::Text16, kTrimmed},
        {"Charset", &Form5::Text17, kTrimmed},
        {"DisableMultiRowFetch", &Form5::Check12, CheckValue::NoYes},
        {"LogFile", &Form5::LoadLogFile, &Form5::SaveLogFile},  // and "Debug"
    };
    return kKeys;
}

}  // namespace vendaro

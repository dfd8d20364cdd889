// Every editor's stories (data/stories.txt), the rules of each form, and the launcher.
#include <fstream>

#include "editors/script_editor_launcher.h"
#include "editors/tests/test_support.h"

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
const Actions<Form4> kForm4 = {
    TEXT(Text1), TEXT(Text2), TEXT(Text3), TEXT(Text4), TEXT(Text5), TEXT(Text6), CLICK(Command1),
    ACT("Save", e.Command4_Click()), ACT("Cancel", e.Command2_Click())};
const Actions<Form5> kForm5 = {
    TEXT(Text1), TEXT(Text2), TEXT(Text3), TEXT(Text4), TEXT(Text5), TEXT(Text6), TEXT(Text7),
    TEXT(Text8), TEXT(Text9), TEXT(Text10), TEXT(Text11), TEXT(Text12), TEXT(Text13),
    TEXT(Text14), TEXT(Text15), TEXT(Text16), TEXT(Text17), TEXT(Text18), LEAVE(Text13),
    LEAVE(Text14), LEAVE(Text15), CLICK(Check1), CLICK(Check2), CLICK(Check3), CLICK(Check4),
    CLICK(Check5), CLICK(Check6), CLICK(Check7), CLICK(Check8), CLICK(Check9), CLICK(Check10),
    CLICK(Check11), CLICK(Check12), CLICK(Check13), CLICK(Option1), CLICK(Option2),
    CLICK(Option3), CLICK(Option4), CLICK(Option5), CLICK(Command3),
    ACT("SSTab1=", e.SSTab1_Click(std::stoi(v))), ACT("Save", e.Command4_Click())};
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
const Actions<Form8> kForm8 = {
    TEXT(Text1), TEXT(Text2), TEXT(Text3), LEAVE(Text3), CLICK(Check1), CLICK(Check2),
    CLICK(Check3), CLICK(Check4), CLICK(Command3), CLICK(Command4),
    ACT("Combo1=", e.Combo1_Click(std::stoi(v))), ACT("Combo2=", e.Combo2_Click(std::stoi(v))),
    ACT("Save", e.Command1_Click()), ACT("Cancel", e.Command2_Click())};
// clang-format on

// The states the rules tie together. Form5: Check1..Check13, Option1..Option5 selected, enabled
// of the fields the rules enable, the page, the focus asked for and ScriptDirty.
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
// The system database options (enabled: its button), the driver boxes (enabled: shown), the
// captions and numbers, the height, ScriptDirty and the number of calls.
std::string Flags(Form6& e, EditorFixture& f) {
    return std::string(1, Mark(e.Option1.selected, true)) +
           Mark(e.Option2.selected, e.Command5.enabled) + Mark(e.Check1.checked, e.Check1.visible) +
           Mark(e.Check2.checked, e.Frame3.visible) + " " + e.Label3.caption + "|" +
           e.Option2.caption + "|" + e.Text3.text + "|" + e.Text4.text + " " +
           std::to_string(e.OuterHeight) + (e.Command7.enabled ? "" : " long") +
           (f.shared.ScriptDirty ? "*" : "") + " " + std::to_string(f.recording.calls.size());
}
// The items shown, the directory, the page timeout, the boxes (enabled: shown), the chooser
// button, the height, ScriptDirty and the calls (a chooser as its start folder).
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

// Opens `edit` ("-": a new script), plays `events` and says what came of it.
template <typename Form>
std::string Run(const Actions<Form>& actions, EditorFixture& f, const std::string& edit,
                const std::string& events, bool flags) {
    f.Open(edit == "-" ? nullptr : edit.c_str());
    auto make = [&]() -> Form {
        if constexpr (std::is_same_v<Form, Form6>) return Form6(f.context, f.windows);
        if constexpr (std::is_same_v<Form, Form7>) return Form7(f.context, edit);
        if constexpr (!std::is_same_v<Form, Form6> && !std::is_same_v<Form, Form7>) {
            return Form(f.context);
        }
    };
    Form form = make();
    form.Form_Load();
    Play(form, f, actions, events);
    if constexpr (requires { Flags(form, f); }) {
        if (flags) return Flags(form, f);
    }
    return f.Outcome(form);
}

TEST_CASE("editor stories: events in; the lines changed, the dialogs and the hand-over out") {
    std::ifstream in(VENDARO_SOURCE_DIR "/editors/tests/data/stories.txt", std::ios::binary);
    std::map<std::string, std::string> givens;
    int stories = 0;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> c(1);
        for (char ch : line) ch == '\t' ? c.emplace_back() : c.back() += ch;
        if (c[0] == "given") givens[c[1]] = Unescape(c[2]);
        if (c.size() != 5) continue;
        CAPTURE(line);
        EditorFixture f;
        if (c[1] != "-") f.Given(givens.at(c[1]));
        const bool flags = c[0].back() == '*';
        const std::string form = c[0].substr(0, 5), events = Unescape(c[3]);
        const std::string seen = form == "Form4"   ? Run(kForm4, f, c[2], events, flags)
                                 : form == "Form5" ? Run(kForm5, f, c[2], events, flags)
                                 : form == "Form6" ? Run(kForm6, f, c[2], events, flags)
                                 : form == "Form7" ? Run(kForm7, f, c[2], events, flags)
                                                   : Run(kForm8, f, c[2], events, flags);
        CHECK(seen == Unescape(c[4]));
        ++stories;
    }
    CHECK(stories > 60);
}

TEST_CASE("the launcher opens the editor of exactly a driver's name; a failing Save of each") {
    const char* const rows[][2] = {
        {"Adaptive Server Anywhere 6.0", "Form5 Adaptive Server Anywhere"},
        {"SQL Server", "Form4 SQL Server"},
        {"Microsoft Access Driver (*.mdb)", "Form6 Microsoft Access"},
        {"Microsoft dBase Driver (*.dbf)", "Form8 dBase"},
        {"Microsoft Visual FoxPro Driver", ""},
        {"sql server", ""},
        {"SQL Server ", ""},
        {"", ""}};
    for (const auto& row : rows) {
        CAPTURE(row[0]);
        EditorFixture f;
        ScriptEditorLauncher launcher(f.store, f.platform, f.shared, f.windows);
        CHECK_FALSE(launcher.OpenEditor(row[0]));
        launcher.AttachMainWindow(f.list, f.status);
        f.Open(nullptr);
        f.recording.fail_prefixes = {"Profile"};
        std::string seen, outcome;
        f.windows.editor = [&](ScriptEditor& e) {
            seen = f.windows.shown.at(0) + " " + With(e.Caption, "Add DSN Script for ", "");
            e.Text1_Change("New");
            if (auto* form = dynamic_cast<Form4*>(&e)) form->Command4_Click();
            if (auto* form = dynamic_cast<Form5*>(&e)) form->Command4_Click();
            if (auto* form = dynamic_cast<Form6*>(&e)) form->Command4_Click();
            if (auto* form = dynamic_cast<Form8*>(&e)) form->Command1_Click();
            outcome = f.Outcome(e);
        };
        CHECK(launcher.OpenEditor(row[0]) == (row[1][0] != 0));
        CHECK(seen == row[1]);
        CHECK(outcome == (row[1][0] ? "()" + kSaveFailed + " open*  {||}" : ""));
    }
}

TEST_CASE("an edit opened without a selected row reads the script Edit named") {
    EditorFixture f;
    f.Given("[S]\nDSN_Driver=Adaptive Server Anywhere 6.0\nDescription=From the file\n");
    f.Open("S");
    for (int selected : {0, 1}) {
        f.list.Select(selected);
        Form5 form(f.context);
        form.Form_Load();
        CHECK(form.Caption + "|" + form.Text1.text + "|" + form.Text2.text ==
              "Edit DSN Script for Adaptive Server Anywhere|S|" +
                  std::string(selected ? "Listed" : "From the file"));
    }
}

}  // namespace
}  // namespace vendaro::test

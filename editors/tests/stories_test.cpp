// The editors' stories, the rules of each form, the launcher, the digits-only field and the
// CommLinks value.
//
// A story (a line of data/stories.txt, tab-separated): the form ("Form4".."Form8"; "Form5*",
// "Form6*", "Form8*": the form's states, as named fields explained at the top of stories.txt, are
// compared instead of the Outcome, so a failure shows which control differs), the file before (a
// "given" line's name, the bytes themselves, or "-" for none), the script opened ("-": a new one;
// "!S": S without a selected row), the events, and what came of it, escaped as the other golden
// files are (testing/escapes.h: "\n", "\xHH", "\\" for a backslash).
// Each story runs over a real vendaro.ini in a scratch folder, through the real script store, with
// the recording platform answering the dialogs.
//
// Events are steps split by ";": "Text3=beta" (a field's new text), "Check1" (a click), "Text13."
// (the field left), "Save", "Cancel", and for every form "Esc", "KeyA" (key presses), "Close"
// (the close box), "Yes" (the next question's answer), "file=C:\a.db" and "folder=D:\x" (the next
// chooser's answer), "Fail" (every profile write fails), "Held" (every profile write fails as
// when another program holds the file) and "Clean" (ScriptDirty cleared).
#include <doctest/doctest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <typeinfo>

#include "editors/comm_links.h"
#include "editors/digits_field.h"
#include "editors/form4.h"
#include "editors/form5.h"
#include "editors/form6.h"
#include "editors/form7.h"
#include "editors/form8.h"
#include "editors/script_editor_launcher.h"
#include "platform/ini_text.h"
#include "platform/native_profile.h"
#include "testing/escapes.h"
#include "testing/recording_platform.h"
#include "testing/scratch.h"

namespace vendaro::test {
namespace {

// The lines of `bytes` without line ends and blank lines.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    for (std::string_view line : ini::SplitLines(bytes))
        if (!line.empty()) lines.emplace_back(line);
    return lines;
}

// The scratch folder, the store, the platform, the main window's list and status line, and the
// editor windows: each Show runs the story given for an editor (or the advanced options), then
// closes a dialog it left open with the close box, as a user finally would.
struct EditorFixture final : StatusLine, EditorWindows {
    std::function<void(ScriptEditor&)> editor;
    std::function<void(Form7&)> advanced;
    std::string shown;  // the forms shown, their names joined
    template <typename Base, typename Form>
    void Run(const char* name, Form& e, const std::function<void(Base&)>& story) {
        shown += name + std::string(e.Caption.empty() ? " (not loaded)" : "");
        if (story) story(e);
        if (!e.closed()) e.Form_Unload();
    }
    void Show(ScriptEditor& e) override {
        const std::string type = typeid(e).name();  // "N7vendaro5Form4E" or "class vendaro::Form4"
        Run(type.substr(type.find("Form"), 5).c_str(), e, editor);
    }
    void Show(Form7& e) override { Run("Form7", e, advanced); }
    void SetStatusText(const std::string& text) override { status = text; }
    static std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
    std::string Changed() const { return shared.ScriptDirty ? "; changed" : ""; }
    Form6 Make(Form6*, const std::string&) { return Form6(context, *this); }
    Form7 Make(Form7*, const std::string& name) { return Form7(context, name); }
    template <typename Form>
    Form Make(Form*, const std::string&) {
        return Form(context);
    }

    TempDir dir;
    std::string folder = dir.path().string();
    std::unique_ptr<Profile> real = MakeNativeProfile();
    RecordingPlatform recording{*real};
    ScriptStore store{recording.profile(), folder, "vendaro.exe",
                      static_cast<char>(std::filesystem::path::preferred_separator)};
    Platform platform = recording.AsPlatform();
    Module1 shared;
    ScriptList list;
    std::string status;
    EditorContext context{store, platform, shared, list, *this};
    std::string given;  // the file's bytes before the story

    void Given(const std::string& bytes) { WriteFile(store.IniFile(), given = bytes); }
    // Edit mode on `name` ("!name": no row selected), as Edit leaves it; add mode for "-".
    // "Orders,New1": the list shows Orders before the row opened, New1.
    void Open(std::string name) {
        for (std::size_t comma; (comma = name.find(',')) != std::string::npos;) {
            list.Add(ListRow{name.substr(0, comma), "Listed", ""});
            name.erase(0, comma + 1);
        }
        shared.ScriptMode = name == "-" ? kScriptModeAdd : kScriptModeEdit;
        if (name == "-") return;
        const bool selected = name[0] != '!';
        shared.EditDsnName = selected ? name : name.substr(1);
        shared.EditRowIndex =
            static_cast<std::int16_t>(list.Add(ListRow{shared.EditDsnName, "Listed", ""}));
        list.Select(selected ? shared.EditRowIndex : 0);
    }
    // `text` with the scratch folder shown as "~".
    std::string Masked(std::string text) const {
        for (std::size_t at; (at = text.find(folder)) != std::string::npos;) {
            text.replace(at, folder.size(), "~");
        }
        return text;
    }
    // The lines the story removed ("-") and added ("+", in file order), the dialogs shown ("(" and
    // ")" for the busy pointer), how the form closed, ScriptDirty ("*"), ScriptSaved ("S"), the
    // status line, the hand-over fields, the list's rows and the focus asked for.
    std::string Outcome(const ModalForm& form) {
        const std::vector<std::string> a = Lines(given), b = Lines(ReadFile(store.IniFile()));
        std::vector<std::string> removed = a, added;
        for (const std::string& line : b) {
            auto found = std::find(removed.begin(), removed.end(), line);
            found == removed.end() ? added.push_back(line) : void(removed.erase(found));
        }
        std::string out;
        for (const std::string& line : removed) out += "-" + line + "\n";
        for (const std::string& line : added) out += "+" + line + "\n";
        for (std::string call : recording.calls) {
            if (call.rfind("Profile", 0) == 0) continue;
            if (call[0] == 'O') call.erase(call.find('|'), call.rfind('|') - call.find('|'));
            out += call == "Busy on" ? "(" : call == "Busy off" ? ")" : "<" + call + ">";
        }
        const char* reasons[] = {"open", "saved", "cancelled", "escaped", "closebox"};
        out += std::string(" ") + reasons[static_cast<int>(form.close_reason())] +
               (shared.ScriptDirty ? "*" : "") + (shared.ScriptSaved ? "S" : "") + " " + status +
               " {" + shared.NewDsnName + "|" + shared.NewDescription + "|" + shared.NewDriver +
               "}";
        for (const ListRow& row : list.Rows()) out += " " + row.text + ":" + row.description;
        return Masked(out + (form.focus_request.empty() ? "" : " >" + form.focus_request));
    }
};

template <typename Form>
using Actions =
    std::map<std::string, std::function<void(Form&, EditorFixture&, const std::string&)>>;
#define ACT(step, ...)                                                        \
    {                                                                         \
        step, []([[maybe_unused]] auto& e, [[maybe_unused]] EditorFixture& f, \
                 [[maybe_unused]] const std::string& v) { __VA_ARGS__; }      \
    }
#define TEXT(n) ACT(#n "=", e.n##_Change(v))
#define CLICK(n) ACT(#n, e.n##_Click())
#define LEAVE(n) ACT(#n ".", e.n##_LostFocus())

template <typename Form>
void Play(Form& form, EditorFixture& fixture, const Actions<Form>& actions,
          const std::string& events, char separator = ';') {
    // clang-format off
    static const Actions<Form> common = {
        ACT("file=", f.recording.open_file_answers.push_back(v)),
        ACT("folder=", f.recording.folder_answers.push_back(v)),
        ACT("Yes", f.recording.message_answers.push_back(MsgAnswer::Yes)),
        ACT("Fail", f.recording.fail_prefixes = {"Profile"}),
        ACT("Held", f.recording.fail_prefixes = {"Profile"};
            f.recording.fail_reason = "vendaro.ini is in use by another program."),
        ACT("Clean", f.shared.ScriptDirty = false), ACT("KeyA", CHECK_FALSE(e.Form_KeyPress('a'))),
        ACT("Esc", const bool open = !e.closed(); CHECK(e.Form_KeyPress(kKeyAsciiEscape) == open)),
        ACT("Close", e.Form_Unload())};
    // clang-format on
    std::stringstream in(events);
    for (std::string step; std::getline(in, step, separator);) {
        const std::size_t eq = step.find('=');
        const std::string key = step.substr(0, eq == std::string::npos ? eq : eq + 1);
        auto act = actions.count(key) ? actions.find(key) : common.find(key);
        REQUIRE_MESSAGE(act != common.end(), step);
        act->second(form, fixture, eq == std::string::npos ? "" : step.substr(eq + 1));
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
    ACT("Press=", e.Text3_KeyPress(v[0])), ACT("Del", e.Text3_KeyDown(kKeyCodeDelete)),
    ACT("Left", e.Text3_KeyDown(0x25)), ACT("Save", e.Command1_Click()),
    ACT("Cancel", e.Command2_Click())};
const Actions<Form6> kForm6 = {
    TEXT(Text1), TEXT(Text2), TEXT(Text3), TEXT(Text4), LEAVE(Text3), LEAVE(Text4), CLICK(Check1),
    CLICK(Check2), CLICK(Option1), CLICK(Option2), CLICK(Command3), CLICK(Command5),
    CLICK(Command7), ACT("Save", e.Command4_Click()), ACT("Cancel", e.Command2_Click()),
    ACT("Advanced=", f.advanced = [&f, v](Form7& d) { Play(d, f, kForm7, v, ','); };
        e.Command6_Click())};
const Actions<Form8> kForm8 = {
    TEXT(Text1), TEXT(Text2), TEXT(Text3), LEAVE(Text3), CLICK(Check1), CLICK(Check2),
    CLICK(Check3), CLICK(Check4), CLICK(Command3), CLICK(Command4),
    ACT("Combo1=", e.Combo1_Click(std::stoi(v))), ACT("Combo2=", e.Combo2_Click(std::stoi(v))),
    ACT("Save", e.Command1_Click()), ACT("Cancel", e.Command2_Click())};
// clang-format on

// The controls named in `flags` ("e.Name.flag, ..." as written at WHICH) whose flag is on, so
// each control's name is written once; " none" for none.
std::string Which(const std::string& flags, std::initializer_list<bool> on) {
    std::string out;
    std::size_t at = 0;
    for (bool flag : on) {
        const std::size_t end = flags.find(',', at), dot = flags.find('.', at);
        if (flag) out += " " + flags.substr(dot + 1, flags.rfind('.', end) - dot - 1);
        at = end + 1;
    }
    return out.empty() ? " none" : out;
}
#define WHICH(...) Which(#__VA_ARGS__, {__VA_ARGS__})

// The states the rules tie together, named as data/stories.txt explains.
std::string Flags(Form5& e, EditorFixture& f) {
    return "checked:" +
           WHICH(e.Check1.checked, e.Check2.checked, e.Check3.checked, e.Check4.checked,
                 e.Check5.checked, e.Check6.checked, e.Check7.checked, e.Check8.checked,
                 e.Check9.checked, e.Check10.checked, e.Check11.checked, e.Check12.checked,
                 e.Check13.checked) +
           "; disabled:" +
           WHICH(!e.Check1.enabled, !e.Check2.enabled, !e.Check3.enabled, !e.Check4.enabled,
                 !e.Check5.enabled, !e.Check6.enabled, !e.Check7.enabled, !e.Check8.enabled,
                 !e.Check9.enabled, !e.Check10.enabled, !e.Check11.enabled, !e.Check12.enabled,
                 !e.Check13.enabled) +
           "; selected:" +
           WHICH(e.Option1.selected, e.Option2.selected, e.Option3.selected, e.Option4.selected,
                 e.Option5.selected) +
           "; enabled:" +
           WHICH(e.Label4.enabled, e.Text4.enabled, e.Label5.enabled, e.Text5.enabled,
                 e.Text10.enabled, e.Text11.enabled, e.Text12.enabled, e.Text13.enabled,
                 e.Label16.enabled, e.Text18.enabled) +
           "; tab: " + std::to_string(e.active_page) +
           "; focus: " + (e.focus_request.empty() ? "none" : e.focus_request) + f.Changed();
}
std::string Flags(Form6& e, EditorFixture& f) {
    return "selected:" + WHICH(e.Option1.selected, e.Option2.selected) +
           "; checked:" + WHICH(e.Check1.checked, e.Check2.checked) +
           "; enabled:" + WHICH(e.Command5.enabled, e.Command7.enabled) +
           "; shown:" + WHICH(e.Check1.visible, e.Frame3.visible) +
           "; Label3: " + f.Quoted(e.Label3.caption) + "; Option2: " + f.Quoted(e.Option2.caption) +
           "; Text3: " + f.Quoted(e.Text3.text) + "; Text4: " + f.Quoted(e.Text4.text) +
           "; height: " + std::to_string(e.OuterHeight) +
           "; calls: " + std::to_string(f.recording.calls.size()) + f.Changed();
}
// A chooser call is cut to its name and start folder: of the call, the form decides the folder.
std::string Flags(Form8& e, EditorFixture& f) {
    std::string calls;
    for (const std::string& call : f.recording.calls) {
        const std::size_t bar = call.rfind('|');
        calls +=
            (calls.empty() ? "" : ", ") +
            (bar == std::string::npos ? call
                                      : call.substr(0, call.find(' ') + 1) + call.substr(bar + 1));
    }
    return f.Masked(
        "Combo1: " + f.Quoted(e.Combo1.text()) + "; Combo2: " + f.Quoted(e.Combo2.text()) +
        "; Label4: " + f.Quoted(e.Label4.caption) + "; Text3: " + f.Quoted(e.Text3.text) +
        "; checked:" +
        WHICH(e.Check1.checked, e.Check2.checked, e.Check3.checked, e.Check4.checked) +
        "; shown:" + WHICH(e.Check1.visible, e.Check2.visible, e.Check3.visible, e.Check4.visible) +
        "; enabled:" + WHICH(e.Command3.enabled, e.Command4.enabled) +
        "; height: " + std::to_string(e.OuterHeight) +
        "; calls: " + (calls.empty() ? "none" : calls) + f.Changed());
}

// Opens the story's script ("-": a new one), plays its events and says what came of it: the
// form's rule states when the form's name ends in "*", else the Outcome.
template <typename Form>
std::string Run(const Actions<Form>& actions, EditorFixture& f, const std::vector<std::string>& c) {
    const std::string& edit = c[2];
    f.Open(edit);
    const std::string opened = edit.substr(edit.rfind(',') + 1);
    Form form = f.Make(static_cast<Form*>(nullptr), opened);
    form.Form_Load();
    Play(form, f, actions, Unescape(c[3]));
    if constexpr (requires { Flags(form, f); }) {
        if (c[0].back() == '*') return Flags(form, f);
    }
    return f.Outcome(form);
}

TEST_CASE("editor stories: events in, the lines changed, the dialogs and the hand-over out") {
    std::ifstream in(VENDARO_SOURCE_DIR "/editors/tests/data/stories.txt", std::ios::binary);
    REQUIRE(in.good());
    std::map<std::string, std::string> givens;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> c(1);
        for (char ch : line) ch == '\t' ? c.emplace_back() : c.back() += ch;
        if (c[0] == "given") givens[c[1]] = Unescape(c[2]);
        if (c.size() != 5) continue;
        CAPTURE(line);
        EditorFixture f;
        if (c[1] != "-") f.Given(givens.count(c[1]) ? givens[c[1]] : Unescape(c[1]));
        const std::string seen = c[0].starts_with("Form4")   ? Run(kForm4, f, c)
                                 : c[0].starts_with("Form5") ? Run(kForm5, f, c)
                                 : c[0].starts_with("Form6") ? Run(kForm6, f, c)
                                 : c[0].starts_with("Form7") ? Run(kForm7, f, c)
                                                             : Run(kForm8, f, c);
        CHECK(seen == Unescape(c[4]));
    }
}

TEST_CASE("the launcher opens the editor of exactly a driver's name") {
    // clang-format off
    const char* const rows[] = {
        "Adaptive Server Anywhere 6.0", "Form5",  "SQL Server", "Form4",
        "Microsoft Access Driver (*.mdb)", "Form6",  "Microsoft dBase Driver (*.dbf)", "Form8",
        "Microsoft Visual FoxPro Driver", "",  "sql server", "",  "SQL Server ", "",  "", ""};
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); i += 2) {
        CAPTURE(rows[i]);
        EditorFixture f;
        ScriptEditorLauncher launcher(f.store, f.platform, f.shared, f);
        CHECK_FALSE(launcher.OpenEditor(rows[i]));
        launcher.AttachMainWindow(f.list, f);
        f.Open("-");
        CHECK(launcher.OpenEditor(rows[i]) == (rows[i + 1][0] != 0));
        // The form shown, once; none for "".
        CHECK(f.shown == rows[i + 1]);
    }
}

// The digits-only fields and the CommLinks value, as tables.

TEST_CASE("a digits-only field takes Backspace and the digits, and shows its leading number") {
    for (int key = -1; key < 256; ++key)
        CHECK(DigitsOnlyKeyPress(key) == (key == 8 || (key >= '0' && key <= '9') ? key : 0));
    // {typed, shown once the field is left}
    // clang-format off
    const std::pair<std::string, std::string> rows[] = {
    {"0042", "42"}, {"", "0"}, {"abc", "0"}, {".", "0"}, {"-", "0"}, {"12abc", "12"},
    {"12 34", "12"}, {"1.5", "1.5"}, {"2e3", "2000"}, {"2E3", "2000"}, {"2e", "2"}, {"2e+", "2"},
    {"2e-3", "0.002"}, {"2E+1x", "20"}, {" 42", "42"}, {"\t\n 7", "7"}, {"\r7", "0"},
    {"-5", "-5"}, {"+5", "5"}, {".5", "0.5"}, {"5.", "5"}, {"-0", "0"}, {"-2.5e20", "-2.5E+20"},
    {"1" + std::string(15, '0'), "1E+15"}, {"1e100", "1E+100"},
    {"1234567890123456", "1.23456789012346E+15"}, {"999999999999999", "999999999999999"},
    {"999999999999999.9", "1E+15"}, {"0.0001", "0.0001"}, {"0.00001", "1E-05"},
    {"1e-10", "1E-10"}, {"0.000123", "0.000123"}, {"2.50", "2.5"}, {"1e400", "0"},
    {"1e-400", "0"}};
    // clang-format on
    for (const auto& [typed, shown] : rows)
        CHECK_MESSAGE(NormalizeDigitsField(typed) == shown, typed);
    CHECK(NormalizeDigitsField(std::string(400, '9')) == "0");
    CHECK(FormatFieldNumber(1.0 / 3.0) == "0.333333333333333");
}

std::string Shown(const CommLinksBoxes& b) {
    return std::string(b.tcpip ? "T" : "-") + b.tcpip_options + (b.ipx ? "|I" : "|-") +
           b.ipx_options + (b.netbios ? "|N" : "|-") + b.netbios_options;
}

TEST_CASE("CommLinks is parsed into the boxes and built from them") {
    // A value parsed and built again: the words and options the boxes keep, in their order.
    // clang-format off
    const char* const rebuilt[] = {
    "", "",  "TcpIp{Abc}", "TCPIP{abc}",  "netbios{},ipx{X}", "IPX{x},NetBIOS{}",
    "ipx{  a{b,c  },tcpip{}", "TCPIP{},IPX{a{b,c}",
    "TCPIP{a},IPX{b},NetBIOS{c}", "TCPIP{a},IPX{b},NetBIOS{c}"};
    // clang-format on
    for (std::size_t i = 0; i < std::size(rebuilt); i += 2) {
        CHECK(BuildCommLinks(ParseCommLinks(rebuilt[i])) == rebuilt[i + 1]);
    }
    // clang-format off
    const char* const parsed[] = {
    "", "-|-|-",  "TCPIP{},IPX{}", "T|I|-",  "netbios{}", "-|-|N",
    "TCPIP{a},IPX{b},NetBIOS{c}", "Ta|Ib|Nc",  "TcpIp{Abc=XY}", "Tabc=xy|-|-",
    "TCPIP{a}, IPX{b}", "Ta|-|-",  "x{1},y{2},z{3},TCPIP{4}", "-|-|-",
    "IPX{1},y{2},z{3},TCPIP{4}", "-|I1|-",  "TCPIP{a},TCPIP{b}", "Tb|-|-",
    "TCPIP{a},TCPIP{}", "Ta|-|-",  "}TCPIP{a}", "-|-|-",  "IPX{b}}TCPIP{a}", "-|Ib|-",
    "TCPIP{abc", "T|-|-",  "IPX{} tcpip", "-|I|-",  ",,ip,x{q},", "-|Iq|-",  "a{bipx{c", "-|I|-",
    " tcpip { x } ", "-|-|-",  "a{1}b{2}ipx{3}", "-|I3|-",  "{x}ipx{q}", "-|Iq|-"};
    // clang-format on
    for (std::size_t i = 0; i < std::size(parsed); i += 2)
        CHECK_MESSAGE(Shown(ParseCommLinks(parsed[i])) == parsed[i + 1], parsed[i]);
    const std::string options(300, 'o');
    CHECK(Shown(ParseCommLinks("TCPIP{" + options + "},IPX{late}")) == "T" + options + "|Ilate|-");
    const auto entries = ParseCommLinksEntries(" tcpip { x } ");
    CHECK(entries[0] == CommLinksEntry{" tcpip ", " x "});
    CHECK(entries[1] == CommLinksEntry{});
}

}  // namespace
}  // namespace vendaro::test

#pragma once
// The editors' stories: open a script (or a new one) over a real vendaro.ini in a scratch
// folder, play the events with the recording platform answering the dialogs, and compare what
// came of it as a whole.
//
// Events are steps split by ";": "Text3=beta" (a field's new text), "Check1" (a click), "Text13."
// (the field left), "Save", "Cancel", and for every form "Esc", "KeyA" (key presses), "Close"
// (the close box), "Yes" (the next question's answer), "file=C:\a.db" and "folder=D:\x" (the next
// chooser's answer), "Fail" (every profile write fails) and "Clean" (ScriptDirty cleared).
#include <doctest/doctest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "editors/editor_context.h"
#include "editors/editor_windows.h"
#include "editors/form4.h"
#include "editors/form5.h"
#include "editors/form6.h"
#include "editors/form7.h"
#include "editors/form8.h"
#include "platform/native_profile.h"
#include "testing/recording_platform.h"
#include "testing/scratch.h"

namespace vendaro::test {

// The lines of `bytes` without line ends and blank lines.
inline std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines(1);
    for (char c : bytes) {
        if (c == '\n' && !lines.back().empty()) lines.emplace_back();
        if (c != '\r' && c != '\n') lines.back() += c;
    }
    if (lines.back().empty()) lines.pop_back();
    return lines;
}

class TextStatusLine final : public StatusLine {
  public:
    void SetStatusText(const std::string& text) override { this->text = text; }
    std::string text;
};

// Each Show runs the story given for an editor (or for the advanced options), then closes a
// dialog it left open with the close box, as a user finally would.
class ScriptedWindows final : public EditorWindows {
  public:
    std::function<void(ScriptEditor&)> editor;
    std::function<void(Form7&)> advanced;
    std::vector<std::string> shown;
    void Show(Form4& e) override { Run("Form4", e, editor); }
    void Show(Form5& e) override { Run("Form5", e, editor); }
    void Show(Form6& e) override { Run("Form6", e, editor); }
    void Show(Form7& e) override { Run("Form7", e, advanced); }
    void Show(Form8& e) override { Run("Form8", e, editor); }

  private:
    template <typename Base, typename Form>
    void Run(const char* name, Form& e, const std::function<void(Base&)>& story) {
        shown.push_back(name);
        if (story) story(e);
        if (!e.closed()) e.Form_Unload();
    }
};

struct EditorFixture {
    TempDir dir;
    std::string folder = dir.path().string();
    std::unique_ptr<Profile> real = MakeNativeProfile();
    RecordingPlatform recording{*real};
    ScriptStore store{recording.profile(), folder, "vendaro.exe",
                      static_cast<char>(std::filesystem::path::preferred_separator)};
    Platform platform = recording.AsPlatform();
    Module1 shared;
    ScriptList list;
    TextStatusLine status;
    ScriptedWindows windows;
    EditorContext context{store, platform, shared, list, status};
    std::string given;  // the file's bytes before the story

    void Given(const std::string& bytes) { WriteFile(store.IniFile(), given = bytes); }
    // Edit mode on `name`, its row selected, as Edit leaves it; add mode when `name` is null.
    void Open(const char* name) {
        shared.ScriptMode = name ? kScriptModeEdit : kScriptModeAdd;
        if (!name) return;
        list.Select(list.Add(ListRow{name, "Listed", ""}));
        shared.EditDsnName = name;
        shared.EditRowIndex = static_cast<std::int16_t>(list.Selected());
    }
    // `text` with the scratch folder shown as "~".
    std::string Masked(std::string text) const {
        for (std::size_t at; (at = text.find(folder)) != std::string::npos;) {
            text.replace(at, folder.size(), "~");
        }
        return text;
    }
    // The lines the story removed ("-") and added ("+"), the dialogs shown ("(" and ")" for the
    // busy pointer), how the form closed, ScriptDirty ("*"), ScriptSaved ("S"), the status line,
    // the hand-over fields, the list's rows and the focus asked for.
    std::string Outcome(const ModalForm& form) {
        const std::vector<std::string> a = Lines(given), b = Lines(ReadFile(store.IniFile()));
        std::vector<std::vector<int>> common(a.size() + 1, std::vector<int>(b.size() + 1));
        for (std::size_t i = a.size(); i-- > 0;) {
            for (std::size_t j = b.size(); j-- > 0;) {
                common[i][j] = a[i] == b[j] ? common[i + 1][j + 1] + 1
                                            : std::max(common[i + 1][j], common[i][j + 1]);
            }
        }
        std::string out;
        for (std::size_t i = 0, j = 0; i < a.size() || j < b.size();) {
            if (i < a.size() && j < b.size() && a[i] == b[j]) {
                ++i, ++j;
            } else if (j == b.size() || (i < a.size() && common[i + 1][j] >= common[i][j + 1])) {
                out += "-" + a[i++] + "\n";
            } else {
                out += "+" + b[j++] + "\n";
            }
        }
        for (std::string call : recording.calls) {
            if (call.rfind("Profile", 0) == 0) continue;
            if (call[0] == 'O') call.erase(call.find('|'), call.rfind('|') - call.find('|'));
            out += call == "Busy on" ? "(" : call == "Busy off" ? ")" : "<" + call + ">";
        }
        const char* reasons[] = {"open", "saved", "cancelled", "escaped", "closebox"};
        out += std::string(" ") + reasons[static_cast<int>(form.close_reason())] +
               (shared.ScriptDirty ? "*" : "") + (shared.ScriptSaved ? "S" : "") + " " +
               status.text + " {" + shared.NewDsnName + "|" + shared.NewDescription + "|" +
               shared.NewDriver + "}";
        for (const ListRow& row : list.Rows()) out += " " + row.text + ":" + row.description;
        return Masked(out + (form.focus_request.empty() ? "" : " >" + form.focus_request));
    }
};

inline const std::string kQuestion =
    "<MessageBox Vendaro!|Do you want to save your changes before closing this screen?|YesNo|"
    "Question|1>";
inline const std::string kSaveFailed =
    "<MessageBox Vendaro!|The DSN script could not be saved.|Ok|Exclamation|1>";
inline const std::string kUnstorable =
    "<MessageBox Vendaro!|The password contains characters that cannot be stored.|Ok|"
    "Exclamation|1>";

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

// The text with "\n" and "\xHH" turned into the characters they name.
inline std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\n") == 0) {
            out += '\n';
            ++i;
        } else if (text.compare(i, 2, "\\x") == 0) {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

// A check box or option: checked and enabled "X", checked and disabled "x", else "O" and "o".
inline char Mark(bool checked, bool enabled) {
    return checked ? (enabled ? 'X' : 'x') : (enabled ? 'O' : 'o');
}
// `text` with its first `from` replaced by `to`.
inline std::string With(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

}  // namespace vendaro::test

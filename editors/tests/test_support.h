#pragma once
// The editors run over a real vendaro.ini in a scratch folder, through the real script store,
// with the recording platform answering the dialogs. Outcome() is everything a story changed.
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
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

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

struct ScratchDir : TempDir {
    std::string path() const { return TempDir::path().string(); }
    std::string File(const std::string& name) const { return path() + kSeparator + name; }
};
inline void WriteBytes(const std::string& path, const std::string& bytes) {
    WriteFile(path, bytes);
}
inline std::string ReadBytes(const std::string& path) {
    return std::filesystem::exists(path) ? ReadFile(path) : "<missing>";
}

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
using KeyLines = std::vector<std::string>;
// The key lines of `section` (matched exactly) in `bytes`.
inline KeyLines SectionLines(const std::string& bytes, const std::string& section) {
    KeyLines keys;
    bool inside = false;
    for (const std::string& line : Lines(bytes)) {
        if (line[0] == '[')
            inside = line == "[" + section + "]";
        else if (inside)
            keys.push_back(line);
    }
    return keys;
}
inline std::vector<std::string> Headers(const std::string& bytes) {
    std::vector<std::string> headers;
    for (const std::string& line : Lines(bytes)) {
        if (line[0] == '[') headers.push_back(line.substr(1, line.size() - 2));
    }
    return headers;
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
    ScratchDir dir;
    std::unique_ptr<Profile> real = MakeNativeProfile();
    RecordingPlatform recording{*real};
    ScriptStore store{recording.profile(), dir.path(), "vendaro.exe", kSeparator};
    Platform platform = recording.AsPlatform();
    Module1 shared;
    ScriptList list;
    TextStatusLine status;
    ScriptedWindows windows;
    EditorContext context{store, platform, shared, list, status};
    std::string ini = dir.File("vendaro.ini");

    std::string Bytes() const { return ReadBytes(ini); }
    // Edit mode on `name`, its row (with `description`) selected, as Edit leaves it; add mode
    // when `name` is null.
    void Open(const char* name, const std::string& description = "") {
        shared.ScriptMode = name ? kScriptModeEdit : kScriptModeAdd;
        if (!name) return;
        list.Select(list.Add(ListRow{name, description, ""}));
        shared.EditDsnName = name;
        shared.EditRowIndex = static_cast<std::int16_t>(list.Selected());
    }
    std::string given;  // the file's bytes before the story
    void Given(const std::string& bytes) { WriteBytes(ini, given = bytes); }

    // The lines the story removed ("-") and added ("+"), the dialogs shown ("(" and ")" for the
    // busy pointer), how the form closed, ScriptDirty ("*"), ScriptSaved ("S"), the status line,
    // the hand-over fields, the list's rows and the focus asked for.
    std::string Outcome(const ModalForm& form) const {
        const std::vector<std::string> a = Lines(given), b = Lines(Bytes());
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
            if (call.rfind("OpenFile", 0) == 0)
                call.erase(call.find('|'), call.rfind('|') - call.find('|'));
            out += call == "Busy on" ? "(" : call == "Busy off" ? ")" : "<" + call + ">";
        }
        const char* reasons[] = {"open", "saved", "cancelled", "escaped", "closebox"};
        out += std::string(" ") + reasons[static_cast<int>(form.close_reason())] +
               (shared.ScriptDirty ? "*" : "") + (shared.ScriptSaved ? "S" : "") + " " +
               status.text + " {" + shared.NewDsnName + "|" + shared.NewDescription + "|" +
               shared.NewDriver + "}";
        for (const ListRow& row : list.Rows()) out += " " + row.text + ":" + row.description;
        out += form.focus_request.empty() ? "" : " >" + form.focus_request;
        return Masked(out);
    }
    // `text` with the scratch folder's path shown as "~".
    std::string Masked(std::string text) const {
        for (std::size_t at; (at = text.find(dir.path())) != std::string::npos;) {
            text.replace(at, dir.path().size(), "~");
        }
        return text;
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

}  // namespace vendaro::test

#pragma once
// One runner for the editors' stories: open a script (or a new one), play the events, and
// compare what came of it as a whole.
//
// Events are steps split by ";": "Text3=beta" (a field's new text), "Check1" (a click),
// "Text13." (the field left), "Save", "Cancel", and for every form "Esc", "KeyA" (key presses),
// "Close" (the close box), "Yes" (the next question's answer), "file:C:\a.db" and "folder:D:\x"
// (the next chooser's answer), "Fail" (every profile write fails), "Clean" (ScriptDirty cleared).
#include <doctest/doctest.h>

#include <map>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "editors/tests/test_support.h"

namespace vendaro::test {

template <typename Form>
using Actions =
    std::map<std::string, std::function<void(Form&, EditorFixture&, const std::string&)>>;
#define ACT(step, ...)                                                   \
    {                                                                    \
        step, [](auto& e, [[maybe_unused]] EditorFixture& f,             \
                 [[maybe_unused]] const std::string& v) { __VA_ARGS__; } \
    }
#define TEXT(n) ACT(#n "=", e.n##_Change(v))
#define CLICK(n) ACT(#n, e.n##_Click())
#define LEAVE(n) ACT(#n ".", e.n##_LostFocus())

template <typename Form>
void Play(Form& e, EditorFixture& f, const Actions<Form>& actions, const std::string& events,
          char separator = ';') {
    std::stringstream in(events);
    for (std::string step; std::getline(in, step, separator);) {
        const std::size_t eq = step.find('=');
        const bool open = !e.closed();
        if (step.rfind("file:", 0) == 0)
            f.recording.open_file_answers.push_back(step.substr(5));
        else if (step.rfind("folder:", 0) == 0)
            f.recording.folder_answers.push_back(step.substr(7));
        else if (step == "Yes")
            f.recording.message_answers.push_back(MsgAnswer::Yes);
        else if (step == "Fail")
            f.recording.fail_prefixes = {"Profile"};
        else if (step == "Clean")
            f.shared.ScriptDirty = false;
        else if (step == "Esc")
            CHECK(e.Form_KeyPress(kKeyAsciiEscape) == open);
        else if (step == "KeyA")
            CHECK_FALSE(e.Form_KeyPress('a'));
        else if (step == "Close")
            e.Form_Unload();
        else {
            auto act = actions.find(eq == std::string::npos ? step : step.substr(0, eq + 1));
            REQUIRE_MESSAGE(act != actions.end(), step);
            act->second(e, f, eq == std::string::npos ? "" : step.substr(eq + 1));
        }
    }
}

template <typename Form>
struct Story {
    const char* edit;  // the script opened, its row selected; null: a new script
    const char* events;
    std::string expected;  // EditorFixture::Outcome, or the form's flags, afterwards
};

// Runs each story on a fresh file holding `given`; `seen` says what came of it.
template <typename Form, typename Seen>
void Tell(const Actions<Form>& actions, const std::string& given,
          const std::vector<Story<Form>>& stories, Seen seen) {
    for (const Story<Form>& story : stories) {
        const std::string events = story.events;
        CAPTURE(events);
        EditorFixture f;
        if (!given.empty()) f.Given(given);
        f.Open(story.edit, "Listed");
        const std::string name = story.edit ? story.edit : " ";
        auto make = [&]() -> Form {
            if constexpr (std::is_same_v<Form, Form6>)
                return Form6(f.context, f.windows);
            else if constexpr (std::is_same_v<Form, Form7>)
                return Form7(f.context, name);
            else
                return Form(f.context);
        };
        Form form = make();
        form.Form_Load();
        Play(form, f, actions, events);
        CHECK(seen(form, f) == story.expected);
    }
}

template <typename Form>
void Tell(const Actions<Form>& actions, const std::string& given,
          const std::vector<Story<Form>>& stories) {
    Tell(actions, given, stories, [](Form& form, EditorFixture& f) { return f.Outcome(form); });
}

// A check box or option: checked and enabled "X", checked and disabled "x", else "O" and "o".
inline char Mark(bool checked, bool enabled) {
    return checked ? (enabled ? 'X' : 'x') : (enabled ? 'O' : 'o');
}

// The lines of `bytes`, each as added.
inline std::string Added(const std::string& bytes) {
    std::string out;
    for (const std::string& line : Lines(bytes)) out += "+" + line + "\n";
    return out;
}

// `text` with its first `from` replaced by `to`.
inline std::string With(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

}  // namespace vendaro::test

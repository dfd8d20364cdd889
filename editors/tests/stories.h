#pragma once
// One runner for the editors' stories: open a script (or a new one), play the events, and
// compare what came of it as a whole.
#include <doctest/doctest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "editors/tests/test_support.h"

namespace vendaro::test {

template <typename Form>
using Events = std::function<void(Form&, EditorFixture&)>;

template <typename Form>
struct Story {
    const char* name;
    const char* edit;  // the script opened, its row selected; null: a new script
    Events<Form> events;
    std::string expected;  // EditorFixture::Outcome, or the form's flags, afterwards
};

// Runs each story on a fresh file holding `given`; `seen` says what came of it.
template <typename Form, typename Seen>
void Tell(const std::string& given, const std::vector<Story<Form>>& stories, Seen seen) {
    for (const Story<Form>& story : stories) {
        const std::string title = story.name;
        CAPTURE(title);
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
        story.events(form, f);
        CHECK(seen(form, f) == story.expected);
    }
}

template <typename Form>
void Tell(const std::string& given, const std::vector<Story<Form>>& stories) {
    Tell(given, stories, [](Form& form, EditorFixture& f) { return f.Outcome(form); });
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

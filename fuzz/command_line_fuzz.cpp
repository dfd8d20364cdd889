// Fuzzes the command line: its grammar alone, then a whole start-up with it over a script file
// made of the input's other bytes (listing, selection, unattended DSN commands).
//
// Invariants:
// - the parse never fails; the name holds no upper-case ASCII letter and no " -" pair, and is
//   the start of the trimmed, lower-cased text; the start mode is one of the few texts the
//   option check lets through, and the text is name + " -" + mode (+ blanks) when it is set;
// - parsing name + " -" + mode again gives the same parse;
// - start-up never writes the script file; it ends without a window only for "ue" and "se",
//   and says "no script" exactly when no row's lower-cased text equals the name; no registry
//   call is made unless a row matched and a DSN command was asked for.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "forms/editor_launcher.h"
#include "forms/module1.h"
#include "forms/text_rules.h"
#include "fuzz/fuzz_support.h"
#include "mainwin/command_line.h"
#include "mainwin/form1.h"
#include "mainwin/form3.h"
#include "mainwin/frm_about.h"
#include "mainwin/modal_windows.h"
#include "store/script_store.h"
#include "testing/recording_platform.h"

namespace {

using namespace vendaro;

class NoEditors final : public EditorLauncher {
  public:
    bool OpenEditor(const std::string&) override { return false; }
};

class NoWindows final : public ModalWindows {
  public:
    void ShowSelectDriver(Form3& dialog) override { dialog.Command2_Click(); }
    void ShowAbout(FrmAbout& about) override { about.Command1_Click(); }
};

bool HasUpperAscii(std::string_view s) {
    for (char c : s) {
        if (c >= 'A' && c <= 'Z') return true;
    }
    return false;
}

std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

void CheckGrammar(const std::string& text) {
    const CommandLine line = ParseCommandLine(text);
    const std::string t = text::LowerAnsi(TrimSpaces(text));
    REQUIRE_THAT(line.has_name == !(t.empty() || t == "/p"));
    if (!line.has_name) {
        REQUIRE_THAT(line.name.empty() && line.start_mode.empty());
        return;
    }
    const std::string& m = line.start_mode;
    REQUIRE_THAT(m.empty() || m == "u" || m == "s" || m == "e" || m == "ue" || m == "se" ||
                 m == " u" || m == " s");
    REQUIRE_THAT(!HasUpperAscii(line.name));
    REQUIRE_THAT(line.name.find(" -") == std::string::npos);
    REQUIRE_THAT(t.compare(0, line.name.size(), line.name) == 0);
    if (!m.empty()) {
        const std::string rest = t.substr(line.name.size());
        REQUIRE_THAT(rest.compare(0, 2 + m.size(), " -" + m) == 0);
        REQUIRE_THAT(TrimSpaces(rest.substr(2 + m.size())).empty());
    }
    REQUIRE_THAT(IsUnattended(m) == (m == "ue" || m == "se"));
    if (line.name.find(" -") == std::string::npos && !line.name.empty() && !m.empty() &&
        line.name.front() != ' ') {
        const CommandLine again = ParseCommandLine(line.name + " -" + m);
        REQUIRE_THAT(again.name == line.name && again.start_mode == m);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string text = in.ConsumeRandomLengthString(128);
    CheckGrammar(text);

    // A whole start-up with that command line.
    fuzz::MemoryProfile files;
    ScriptStore store(files, "/app", "vendaro", '/');
    const std::string script_file = store.ScriptFile();
    if (in.ConsumeBool()) files.files[script_file] = in.ConsumeRemainingBytesAsString();
    const std::string before = files.files.count(script_file) ? files.files[script_file] : "";

    RecordingPlatform recording(files);
    Platform platform = recording.AsPlatform();
    Module1 module1;
    NoEditors editors;
    NoWindows windows;
    Form1 form(store, platform, module1, editors, windows);
    const StartupResult result = form.Form_Load(text);

    const std::string after = files.files.count(script_file) ? files.files[script_file] : "";
    REQUIRE_THAT(after == before);

    const CommandLine line = ParseCommandLine(text);
    bool matched = false;
    if (line.has_name) {
        for (const ListRow& row : form.lvwMain().Rows()) {
            matched = matched || text::LowerAnsi(row.text) == line.name;
        }
    }
    const bool unattended = line.has_name && IsUnattended(line.start_mode);
    REQUIRE_THAT(result.show_window == !unattended);
    if (unattended) {
        REQUIRE_THAT((result.exit_status == kExitNoScript) == !matched);
    } else {
        REQUIRE_THAT(result.exit_status == kExitCreated);
    }
    bool registry_touched = false;
    for (const std::string& call : recording.calls) {
        registry_touched = registry_touched || call.rfind("Reg", 0) == 0;
    }
    const std::string& m = line.start_mode;
    const bool command = m == "u" || m == "s" || m == "ue" || m == "se";
    if (!matched || !command) REQUIRE_THAT(!registry_touched);
    if (form.lvwMain().Count() > 0) REQUIRE_THAT(form.lvwMain().Selected() >= 1);
    return 0;
}

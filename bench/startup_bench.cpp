// The main window on a generated library, through the real start-up path: a fresh profile, the
// script store and Form1 as the program makes them, with the registry, the installer and the
// dialogs recorded in memory.
//   startup_bench --dir=/tmp/lib --scripts=10000 --runs=11
// Measures: start-up (Form_Load filling the list), the unattended command "<name> -ue" for a
// script near the end without process and unixODBC costs (also right after the file was
// written), and Clone of that script. On Windows also start-up and the unattended command
// through the per-call peer (every key read a GetPrivateProfileStringA call).
#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "bench/bench_support.h"
#include "bench/per_call_profile.h"
#include "forms/editor_launcher.h"
#include "forms/module1.h"
#include "mainwin/form1.h"
#include "mainwin/modal_windows.h"
#include "platform/native_profile.h"
#include "store/script_store.h"
#include "testing/recording_platform.h"

using namespace vendaro;
using namespace vendaro::bench;

namespace {

class NoEditors final : public EditorLauncher {
  public:
    bool OpenEditor(const std::string&) override { return false; }
};

class NoWindows final : public ModalWindows {
  public:
    void ShowSelectDriver(Form3&) override {}
    void ShowAbout(FrmAbout&) override {}
};

// One program's worth of objects, made as the program makes them at its start.
struct Program {
    explicit Program(const std::string& dir, bool per_call = false)
        : native(MakeNativeProfile()),
          peer(per_call ? MakePerCallProfile(*native) : nullptr),
          profile(peer ? *peer : *native),
          recording(profile),
          store(profile, dir, "vendaro", '/'),
          platform{profile, recording, recording, recording, /*legacy_odbc_ini=*/false},
          form(store, platform, module1, editors, windows) {}
    std::unique_ptr<Profile> native;
    std::unique_ptr<Profile> peer;
    Profile& profile;
    RecordingPlatform recording;
    ScriptStore store;
    Platform platform;
    Module1 module1;
    NoEditors editors;
    NoWindows windows;
    Form1 form;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = Arg(argc, argv, "dir", ".");
    const std::size_t count = std::stoul(Arg(argc, argv, "scripts", "0"));
    const int runs = std::stoi(Arg(argc, argv, "runs", "11"));
    const std::string file = dir + "/vendaro.ini";
    const std::string original = ReadWholeFile(file);
    const std::string target = ScriptName(LastAsaIndex(count));

    int listed = 0;
    Report("startup", count, Measure(runs, nullptr, [&] {
               Program program(dir);
               program.form.Form_Load("");
               listed = program.form.lvwMain().Count();
           }));
    Require(listed == static_cast<int>(count), "start-up listed " + std::to_string(listed));

    StartupResult result;
    std::size_t calls = 0;
    std::unique_ptr<Profile> probe = MakeNativeProfile();
    if (MakePerCallProfile(*probe)) {
        const int peer_runs = std::max(1, runs / 3);
        Report("startup_percall", count, Measure(peer_runs, nullptr, [&] {
                   Program program(dir, /*per_call=*/true);
                   program.form.Form_Load("");
                   listed = program.form.lvwMain().Count();
               }));
        Require(listed == static_cast<int>(count), "start-up listed " + std::to_string(listed));
        Report("unattended_percall", count, Measure(peer_runs, nullptr, [&] {
                   Program program(dir, /*per_call=*/true);
                   result = program.form.Form_Load(target + " -ue");
               }));
        Require(!result.show_window && result.exit_status == kExitCreated,
                "the unattended command did not create the DSN");
    }
    Report("unattended_inproc", count, Measure(runs, nullptr, [&] {
               Program program(dir);
               result = program.form.Form_Load(target + " -ue");
               calls = program.recording.calls.size();
           }));
    Require(!result.show_window && result.exit_status == kExitCreated && calls > 20,
            "the unattended command did not create the DSN");

    // The same right after the file was written (as by a script that writes vendaro.ini and
    // starts the program at once): its times may not yet tell a later change, so every read of
    // the DSN command checks the bytes again until the file is older than the clock's grain.
    Report("unattended_just_written", count,
           Measure(
               runs, [&] { Require(WriteWholeFile(file, original), "cannot rewrite " + file); },
               [&] {
                   Program program(dir);
                   result = program.form.Form_Load(target + " -ue");
               }));
    Require(!result.show_window && result.exit_status == kExitCreated,
            "the unattended command did not create the DSN");

    // Clone: the list is loaded (untimed), then the command runs with the new name typed.
    std::optional<Program> program;
    int rows_after = 0;
    Report("clone", count,
           Measure(
               runs,
               [&] {
                   Require(WriteWholeFile(file, original), "cannot restore " + file);
                   SettleDisk();
                   program.reset();
                   program.emplace(dir);
                   program->form.Form_Load("");
                   program->form.lvwMain_ItemClick(static_cast<int>(LastAsaIndex(count)) + 1);
                   program->recording.input_answers = {"Copy of " + target, ""};
               },
               [&] {
                   program->form.Command7_Click();
                   rows_after = program->form.lvwMain().Count();
               }));
    Require(rows_after == static_cast<int>(count) + 1, "Clone added no row");
    Require(WriteWholeFile(file, original), "cannot restore " + file);
    return 0;
}

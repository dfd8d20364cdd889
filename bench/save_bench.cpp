// One Save of the Adaptive Server Anywhere editor (Form5) into a generated library, through
// the real editor model and the real script store.
//   save_bench --dir=/tmp/lib --scripts=10000 --runs=11
// Measures: Save of a new script with every field filled (27 keys, each one new), and Save of
// an existing script near the end after two fields were changed. On Windows also the Save of
// the new script written key by key (the peer).
#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "bench/bench_support.h"
#include "bench/per_call_profile.h"
#include "editors/editor_context.h"
#include "editors/form5.h"
#include "forms/module1.h"
#include "forms/script_list.h"
#include "platform/native_profile.h"
#include "store/script_store.h"
#include "testing/recording_platform.h"

using namespace vendaro;
using namespace vendaro::bench;

namespace {

// A status line that is just a string.
class TextStatusLine final : public StatusLine {
  public:
    void SetStatusText(const std::string& text) override { this->text = text; }
    std::string text;
};

// What the running program holds while an editor is open.
struct Session {
    explicit Session(const std::string& dir, bool per_call = false)
        : native(MakeNativeProfile()),
          peer(per_call ? MakePerCallProfile(*native) : nullptr),
          profile(peer ? *peer : *native),
          recording(profile),
          store(profile, dir, "vendaro", '/'),
          platform{profile, recording, recording, recording} {}
    std::unique_ptr<Profile> native;
    std::unique_ptr<Profile> peer;
    Profile& profile;
    RecordingPlatform recording;
    ScriptStore store;
    Platform platform;
    Module1 module1;
    ScriptList list;
    TextStatusLine status;
    EditorContext context{store, platform, module1, list, status};
};

// Every field of a new script filled in, as a user adding one would.
void FillNewScript(Form5& e, const std::string& name) {
    e.Text1_Change(name);
    e.Text2_Change("Figures of the new branch for the monthly reports");
    e.Text3_Change("1");
    e.Check3_Click();
    e.Text4_Change("dba");
    e.Text5_Change("secret");
    e.Text6_Change("asa_newbranch");
    e.Text7_Change("dbeng6 -c 8M");
    e.Text8_Change("newbranch");
    e.Text9_Change("C:\\Data\\NewBranch\\branch.db");
    e.Check8_Click();
    e.Text10_Change("host=10.1.9.7;port=2638");
    e.Text16_Change("newbranch");
    e.Text17_Change("cp1252");
    e.Check13_Click();
    e.Text18_Change("C:\\Logs\\odbcnew.log");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = Arg(argc, argv, "dir", ".");
    const std::size_t count = std::stoul(Arg(argc, argv, "scripts", "0"));
    const int runs = std::stoi(Arg(argc, argv, "runs", "11"));
    const std::string file = dir + "/vendaro.ini";
    const std::string original = ReadWholeFile(file);

    std::optional<Session> session;
    std::optional<Form5> form;
    const std::string new_name = "New Branch 1";
    auto save_add = [&](const char* measure, bool per_call, int measured_runs) {
        Report(measure, count,
               Measure(
                   measured_runs,
                   [&] {
                       Require(WriteWholeFile(file, original), "cannot restore " + file);
                       SettleDisk();
                       form.reset();
                       session.reset();
                       session.emplace(dir, per_call);
                       session->module1.ScriptMode = kScriptModeAdd;
                       form.emplace(session->context);
                       form->Form_Load();
                       FillNewScript(*form, new_name);
                   },
                   [&] { form->Command4_Click(); }));
    };
    std::unique_ptr<Profile> probe = MakeNativeProfile();
    if (MakePerCallProfile(*probe)) {
        // The peer on Windows: the same Save written key by key.
        save_add("save_add_percall", true, std::max(1, runs / 3));
        Require(form->close_reason() == CloseReason::Saved, "Save did not close the editor");
    }
    save_add("save_add", false, runs);
    Require(form->close_reason() == CloseReason::Saved, "Save did not close the editor");
    {
        Session check(dir);
        Require(check.store.ReadIniString(new_name, "Debug") == "Yes" &&
                    check.store.ReadIniString(new_name, "CommLinks") ==
                        "TCPIP{host=10.1.9.7;port=2638}",
                "the new script was not saved");
    }

    const std::size_t index = LastAsaIndex(count);
    const std::string target = ScriptName(index);
    Report("save_edit", count,
           Measure(
               runs,
               [&] {
                   Require(WriteWholeFile(file, original), "cannot restore " + file);
                   SettleDisk();
                   form.reset();
                   session.reset();
                   session.emplace(dir);
                   Session& s = *session;
                   s.list.Add(ListRow{target, "Figures of branch", kAsaDriver});
                   s.list.Select(1);
                   s.module1.ScriptMode = kScriptModeEdit;
                   s.module1.EditDsnName = target;
                   s.module1.EditRowIndex = 1;
                   form.emplace(s.context);
                   form->Form_Load();
                   form->Text2_Change("Figures of branch " + std::to_string(index) + ", audited");
                   form->Text16_Change("audited");
               },
               [&] { form->Command4_Click(); }));
    {
        Session check(dir);
        Require(check.store.ReadIniString(target, "ConnectionName") == "audited",
                "the edited script was not saved");
    }
    form.reset();
    session.reset();
    Require(WriteWholeFile(file, original), "cannot restore " + file);
    return 0;
}

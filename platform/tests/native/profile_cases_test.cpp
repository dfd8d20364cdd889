// The INI conformance cases of data/ini_cases.txt, run against the profile of the platform being
// built: the POSIX file profile, on the INI engine; or kernel32's under Wine.
#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/native_profile.h"
#include "testing/escapes.h"
#include "testing/scratch.h"
#ifdef _WIN32
#include "platform/win32/kernel32_profile.h"
#else
#include "platform/posix/file_profile.h"
#endif

namespace vendaro {
namespace {

using test::Show;
using test::Unescape;

struct IniCase {
    std::optional<std::string> before;  // nullopt: no file
    std::string op;                     // get, set, delkey, delsec, edits, headers; "-lf" suffix
    std::string section;
    std::vector<std::string> args;
    std::string expected;       // as the file spells it (Show)
    bool wine_differs = false;  // Wine's kernel32 answers otherwise than Windows'
    std::string wine_answer;    // what it answers instead (get rows), as Show spells it
    bool lf() const { return op.ends_with("-lf"); }
    bool is(std::string_view what) const { return op.substr(0, op.find('-')) == what; }
};

std::optional<std::string> FileBytes(const std::filesystem::path& path) {
    if (!std::filesystem::exists(path)) return std::nullopt;
    return test::ReadFile(path);
}

void PutFile(const std::filesystem::path& path, const std::optional<std::string>& bytes) {
    std::filesystem::remove(path);
    if (bytes) test::WriteFile(path, *bytes);
}

// Runs a case on `profile` against a file in `dir`; returns what it gives as Show spells it.
std::string OnProfile(Profile& profile, const IniCase& c, const std::filesystem::path& dir) {
    const std::filesystem::path file = dir / "case.ini", twin = dir / "twin.ini";
    const std::string path = file.string();
    PutFile(file, c.before);
    if (c.is("get")) {
        const std::string value = profile.GetString(c.section, c.args[0], "<missing>", path);
        const std::unique_ptr<ProfileSnapshot> snapshot = profile.Snapshot(path);
        CHECK(Show(snapshot->GetString(c.section, c.args[0], "<missing>")) == Show(value));
        // The section's keys read at once, for many reads of it: every key a read finds, as the
        // read gives it.
        const std::optional<std::string_view> listed = snapshot->KeysOf(c.section).Find(c.args[0]);
        CHECK(Show(std::string(listed.value_or("<missing>"))) == Show(value));
#ifdef _WIN32
        // kernel32 itself, which the profile's reads stand in for.
        const std::string raw = win32::Kernel32GetString(c.section, c.args[0], "<missing>", path);
        // Under Wine the marked cases differ: a Wine that mends one shows here.
        // Windows answers `expected`; Wine, where the row says so, its own answer.
        CHECK(Show(raw) == (c.wine_differs && test::UnderWine() ? c.wine_answer : c.expected));
#endif
        return value == "<missing>" ? value : Show(value);
    }
    if (c.is("headers")) {
        std::string out;
        profile.Snapshot(path)->ForEachBracketLine(
            [&](std::string_view line) { out += (out.empty() ? "" : "\n") + std::string(line); });
        return Show(out);
    }
    bool ok = false;
    if (c.is("set")) ok = profile.SetString(c.section, c.args[0], c.args[1], path);
    if (c.is("delkey")) ok = profile.DeleteKey(c.section, c.args[0], path);
    if (c.is("delsec")) ok = profile.DeleteSection(c.section, path);
    if (c.is("edits")) {
        // "+key=value" sets, "-key" removes. At once, and key by key into a twin of the file:
        // the same bytes, the same count.
        std::vector<KeyEdit> edits;
        for (const std::string_view a : c.args) {
            const std::size_t eq = std::min(a.find('='), a.size());
            edits.push_back(
                {a.substr(1, eq - 1), a.substr(std::min(eq + 1, a.size())), a[0] == '-'});
        }
        PutFile(twin, c.before);
        ClearFailure();
        const std::size_t made = profile.WriteKeys(c.section, edits, path);
        if (made < edits.size()) CHECK_MESSAGE(!TakeFailure().empty(), "edits that stop say why");
        CHECK(made == profile.Profile::WriteKeys(c.section, edits, twin.string()));
        ok = true;
        CHECK(Show(FileBytes(twin).value_or("<none>")) == Show(FileBytes(file).value_or("<none>")));
        // Saved under a new name onto none: the same bytes, or nothing when an edit is refused.
        PutFile(twin, c.before);
        const bool whole =
            profile.WriteKeysAndRemoveSection(c.section, edits, "\x01", twin.string());
        CHECK(FileBytes(twin) == (whole ? FileBytes(file) : c.before));
    }
    const std::optional<std::string> after = FileBytes(file);
    if (!ok) {
        CHECK(after == c.before);
        CHECK_MESSAGE(!TakeFailure().empty(), "a refusal says why");
        return "<refused>";
    }
    return after ? Show(*after) : "<none>";
}

}  // namespace

TEST_CASE("INI conformance cases: the platform's profile") {
    test::TempDir dir;
    std::unique_ptr<Profile> native = MakeNativeProfile();
#ifndef _WIN32
    FileProfile as_file(SystemFileSystem(), WrittenLineEnds::AsFile);
#endif
    const auto rows =
        test::ReadRows(VENDARO_SOURCE_DIR "/platform/tests/native/data/ini_cases.txt");
    REQUIRE(rows.size() > 100);
    for (std::vector<std::string> fields : rows) {
        IniCase c;
        // unixODBC's own answer is checked with unixODBC, in the POSIX suite.
        if (fields.back().starts_with("unixodbc")) fields.pop_back();
        c.wine_differs = fields.back().starts_with("wine:");
        if (c.wine_differs)
            c.wine_answer = Show(Unescape(fields.back().substr(5))), fields.pop_back();
        if (fields[1] != "<none>") c.before = Unescape(fields[1]);
        c.op = fields[2];
        c.expected = Show(Unescape(fields.back()));
        if (c.op != "headers") c.section = Unescape(fields[3]);
        for (std::size_t i = 4; i + 1 < fields.size(); ++i) c.args.push_back(Unescape(fields[i]));
        INFO(fields[0], " | ", fields[1]);
#ifdef _WIN32
        // The Windows profile writes CR LF lines only; its reads take no name holding NUL.
        const bool nul_name =
            (c.section + (c.args.empty() ? "" : c.args[0])).find('\0') != std::string::npos;
        if (c.lf() || (c.is("get") && nul_name)) continue;
        // Its writes are the engine's, so Wine's own rewriting never shows.
        Profile& profile = *native;
#else
        Profile& profile = c.lf() ? static_cast<Profile&>(as_file) : *native;
#endif
        const std::string got = OnProfile(profile, c, dir.path());
        CHECK_MESSAGE(got == c.expected, got);
    }
}

}  // namespace vendaro

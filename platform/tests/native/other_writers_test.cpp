// Other programs at work on a profile file, through the platform's own profile: every read
// follows their changes, none loses another's write, and one killed at any moment of a Save
// leaves the file whole, old or new.
#include <doctest/doctest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <thread>
#include <vector>

#include "platform/ini_text.h"
#include "platform/native_profile.h"
#include "testing/child_process.h"
#include "testing/scratch.h"

namespace vendaro {
namespace {

namespace fs = std::filesystem;

// An editor's Save of the script Target: 27 keys set to `v`.
std::vector<KeyEdit> SaveOf(std::string_view v) {
    static constexpr std::string_view kKeys = "ABCDEFGHIJKLMNOPQRSTUVWXYZ_";
    std::vector<KeyEdit> edits;
    for (std::size_t i = 0; i < kKeys.size(); ++i) edits.push_back({kKeys.substr(i, 1), v});
    return edits;
}

TEST_CASE("a read follows each change another program makes, and a snapshot keeps its version") {
    test::TempDir dir;
    const std::string ini = (dir.path() / "vendaro.ini").string();
    const std::string other = (dir.path() / "other.ini").string();
    struct Change {
        const char* name;
        std::function<void()> make;
        std::string read_after;
    };
    const Change changes[] = {
        {"rewritten in place, the same size, its time put back",
         [&] {
             const fs::file_time_type written = fs::last_write_time(ini);
             test::WriteFile(ini, "[s]\r\nk=bbbb\r\n");
             fs::last_write_time(ini, written);
         },
         "bbbb"},
        {"replaced by another file",
         [&] { test::WriteFile(other, "[s]\r\nk=cccc\r\n"), fs::rename(other, ini); }, "cccc"},
        {"written by another profile",
         [&] { REQUIRE(MakeNativeProfile()->SetString("s", "k", "dddd", ini)); }, "dddd"},
        {"removed", [&] { fs::remove(ini); }, "gone"},
    };
    for (const Change& change : changes) {
        SUBCASE(change.name) {
            const std::unique_ptr<Profile> reader = MakeNativeProfile();
            test::WriteFile(ini, "[s]\r\nk=aaaa\r\n");
            test::Age(ini);
            CHECK(reader->GetString("s", "k", "gone", ini) == "aaaa");
            const std::unique_ptr<ProfileSnapshot> taken = reader->Snapshot(ini);
            change.make();
            CHECK(taken->GetString("s", "k", "gone") == "aaaa");
            CHECK(reader->GetString("s", "k", "gone", ini) == change.read_after);
            CHECK(reader->Snapshot(ini)->GetString("s", "k", "gone") == change.read_after);
        }
    }
    const std::unique_ptr<Profile> profile = MakeNativeProfile();
    // A write through another spelling of the path is read through this one.
    CHECK(profile->SetString("s", "k", "own", (dir.path() / "." / "vendaro.ini").string()));
    CHECK(profile->GetString("s", "k", "", ini) == "own");
}

TEST_CASE("two programs writing one file lose no write") {
    if (const std::string role = test::RoleOf("VENDARO_WRITER"); !role.empty()) {
        // One of the two ("0|file", "1|file"); both race to create the file too.
        const std::string id = role.substr(0, role.find('|')), ini = role.substr(id.size() + 1);
        const std::unique_ptr<Profile> profile = MakeNativeProfile();
        for (int k = id[0] - '0'; k < 40; k += 2) {
            // KeyEdit views its strings: they must outlive the array.
            const std::string key = "k" + std::to_string(k), gone = "g" + key;
            const KeyEdit edits[] = {{key, "x"}, {gone, "y"}, {gone, "", true}};
            REQUIRE(profile->SetString("Shared", key, "v", ini));
            REQUIRE(profile->WriteKeys("Own" + id, edits, ini) == 3);
            if (k < 2) REQUIRE(profile->Append(ini, "\r\r\n[C" + key + "]\r\nk=c"));
        }
        return;
    }
    test::TempDir dir;
    const std::string ini = (dir.path() / "shared.ini").string();
    test::ChildProcess first("VENDARO_WRITER", "0|" + ini, "-tc=two*");
    test::ChildProcess second("VENDARO_WRITER", "1|" + ini, "-tc=two*");
    CHECK(first.Wait() == 0);
    CHECK(second.Wait() == 0);
    const std::unique_ptr<Profile> profile = MakeNativeProfile();
    for (int k = 0; k < 40; ++k) {
        const std::string key = "k" + std::to_string(k), own = "Own" + std::to_string(k % 2);
        CAPTURE(key);
        CHECK(profile->GetString("Shared", key, "", ini) == "v");
        CHECK(profile->GetString(own, key, "", ini) == "x");
        CHECK(profile->GetString(own, "g" + key, "gone", ini) == "gone");
        if (k < 2) CHECK(profile->GetString("C" + key, "k", "", ini) == "c");
    }
}

TEST_CASE("a Save killed at any moment leaves the file whole, old or new") {
    if (const std::string ini = test::RoleOf("VENDARO_KILLED"); !ini.empty()) {
        // The program killed: Saves of two versions in turn, and a mark once they are under way.
        const std::unique_ptr<Profile> profile = MakeNativeProfile();
        for (int round = 0;; ++round) {
            REQUIRE(profile->WriteKeys("Target", SaveOf(round % 2 ? "b" : "a"), ini) == 27);
            if (round == 0) test::WriteFile(ini + ".saving", "");
        }
    }
    test::TempDir dir;
    // Large enough that a rewrite takes a while: kills land in the middle of many.
    std::string start;
    for (int i = 0; i < 40000; ++i) {
        start += "[Other" + std::to_string(i) + "]\r\nDSN_Driver=SQL Server\r\n";
        if (i == 20000) start += "[Target]\r\nA=0\r\n";
    }
    const std::string a = ini::Document(start).WithKeyEdits("Target", SaveOf("a"));
    const std::string b = ini::Document(a).WithKeyEdits("Target", SaveOf("b"));
    const std::string ini = (dir.path() / "vendaro.ini").string();
    test::WriteFile(ini, start);
    std::mt19937 random(20261207);
    std::map<std::string, int> left;  // "start", "a", "b" or "broken": how often
    for (int kill = 0; kill < 40; ++kill) {
        test::ChildProcess saver("VENDARO_KILLED", ini, "-tc=*killed*");
        // Once its Saves are under way (its start takes a while), at any moment of a Save.
        for (int ms = 0; ms < 20000 && !fs::exists(ini + ".saving"); ++ms)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 60)(random)));
        saver.Kill();
        saver.Wait();
        fs::remove(ini + ".saving");
        const std::string after = test::ReadFile(ini);
        ++left[after == start ? "start" : after == a ? "a" : after == b ? "b" : "broken"];
    }
    MESSAGE("left: start " << left["start"] << ", a " << left["a"] << ", b " << left["b"]);
    CHECK(left["broken"] == 0);
    // No lock outlives its process; the next write removes the killed writers' temporaries.
    CHECK(MakeNativeProfile()->SetString("Target", "A", "c", ini));
    CHECK(std::distance(fs::directory_iterator(dir.path()), {}) == 1);
}

}  // namespace
}  // namespace vendaro

// The script store on a generated library: the floor (reading the file and splitting it into
// lines with memchr), the engine's line split and parse, the section listing with its two key
// reads per script, and one key read of a script near the end in a fresh process state.
//   store_bench --dir=/tmp/lib --scripts=10000 --runs=11
#include <memory>
#include <string>

#include "bench/bench_support.h"
#include "platform/ini_text.h"
#include "platform/native_profile.h"
#include "store/script_store.h"

using namespace vendaro;
using namespace vendaro::bench;

int main(int argc, char** argv) {
    const std::string dir = Arg(argc, argv, "dir", ".");
    const std::size_t count = std::stoul(Arg(argc, argv, "scripts", "0"));
    const int runs = std::stoi(Arg(argc, argv, "runs", "11"));
    const std::string file = dir + "/vendaro.ini";

    // The floor: one read of the whole file, lines found with memchr. The engine's own line
    // split (every line end the reader accepts) is measured beside it.
    std::size_t lines = 0;
    Report("floor", count, Measure(runs, nullptr, [&] {
               const std::string bytes = ReadWholeFile(file);
               lines = FloorSplit(bytes).size();
           }));
    Require(lines > count, "the floor read no lines");
    Report("split_lines", count, Measure(runs, nullptr, [&] {
               const std::string bytes = ReadWholeFile(file);
               lines = ini::SplitLines(bytes).size();
           }));
    Report("parse", count, Measure(runs, nullptr, [&] {
               const ini::Document doc(ReadWholeFile(file));
               lines = doc.LineCount();
           }));

    std::size_t rows = 0;
    Report("store_list", count, Measure(runs, nullptr, [&] {
               std::unique_ptr<Profile> profile = MakeNativeProfile();
               ScriptStore store(*profile, dir, "vendaro", '/');
               rows = store.ListScripts().size();
           }));
    Require(rows == count, "the listing found " + std::to_string(rows) + " scripts");

    const std::string target = ScriptName(LastAsaIndex(count));
    std::string value;
    Report("read_one", count, Measure(runs, nullptr, [&] {
               std::unique_ptr<Profile> profile = MakeNativeProfile();
               ScriptStore store(*profile, dir, "vendaro", '/');
               value = store.ReadIniString(target, "CommLinks");
           }));
    Require(!value.empty(), "the key read found nothing");
    return 0;
}

// Writes a script library for the benchmarks: <dir>/vendaro.ini (CR LF, as the program writes
// it) and <dir>/odbc.ini (the same sections and keys with LF, for unixODBC's own tools).
//   make_library --scripts=10000 --dir=/tmp/lib
#include <cstdio>
#include <string>

#include "bench/bench_support.h"

using namespace vendaro::bench;

int main(int argc, char** argv) {
    const std::size_t count = std::stoul(Arg(argc, argv, "scripts", "1000"));
    const std::string dir = Arg(argc, argv, "dir", ".");
    const std::string text = LibraryText(count);
    Require(WriteWholeFile(dir + "/vendaro.ini", text), "cannot write " + dir + "/vendaro.ini");
    Require(WriteWholeFile(dir + "/odbc.ini", LibraryText(count, "\n")),
            "cannot write " + dir + "/odbc.ini");
    std::size_t lines = 0;
    for (char c : text) lines += c == '\n';
    std::printf("NOTE library %zu scripts, %zu bytes, %zu lines, last ASA script \"%s\"\n", count,
                text.size(), lines, ScriptName(LastAsaIndex(count)).c_str());
    std::printf("BYTES %zu %zu\n", count, text.size());
    std::printf("TARGET %zu %s\n", count, ScriptName(LastAsaIndex(count)).c_str());
    return 0;
}

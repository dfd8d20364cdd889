// The floor as a whole process: reads a file, finds its lines with memchr, prints their count.
//   read_split <file>
#include <cstdio>
#include <string>

#include "bench/bench_support.h"

using namespace vendaro::bench;

int main(int argc, char** argv) {
    Require(argc == 2, "usage: read_split <file>");
    const std::string bytes = ReadWholeFile(argv[1]);
    std::printf("%zu\n", FloorSplit(bytes).size());
    return 0;
}

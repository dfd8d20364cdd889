#pragma once
// The golden reading cases of the INI engine: file bytes, a section and a key, and the value
// the Windows profile functions give (nullopt: the default). The engine's own test and the
// conformance check against kernel32 share them.
#include <optional>
#include <string>
#include <vector>

namespace vendaro::ini {

struct ReadCase {
    const char* what;
    std::string file;
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};

inline std::vector<ReadCase> ReadCases() {
    using namespace std::string_literals;
    const std::optional<std::string> missing;
    return {
        {"plain key", "[s]\r\nk=v\r\n", "s", "k", "v"},
        {"blanks before the header", "  \t[s]\r\nk=v\r\n", "s", "k", "v"},
        {"header name trimmed", "[ t ]\r\nk=w\r\n", "t", "k", "w"},
        {"header name trimmed of tabs", "[\tu\t]\r\nk=w\r\n", "u", "k", "w"},
        {"section argument trimmed of spaces", "[t]\r\nk=w\r\n", " t ", "k", "w"},
        {"text after the closing bracket ignored", "[s] trailing junk\r\nk=v\r\n", "s", "k", "v"},
        {"name ends at the first bracket", "[a]b]\r\nk=v\r\n", "a", "k", "v"},
        {"no section holds the first bracket", "[a]b]\r\nk=v\r\n", "a]b", "k", missing},
        {"header without closing bracket", "[s]\r\nk=v\r\n[t\r\nm=x\r\n", "t", "m", "x"},
        {"header without closing bracket ends the section before it", "[s]\r\nk=v\r\n[t\r\nm=x\r\n",
         "s", "m", missing},
        {"a lone bracket opens a section named empty", "[s]\r\n[\r\nj=w\r\n", "", "j", "w"},
        {"an empty header names the empty section", "k=pre\r\n[]\r\nk=in\r\n", "", "k", "in"},
        {"keys before the first header belong to no section", "k=pre\r\n[s]\r\nj=v\r\n", "", "k",
         missing},
        {"split at the first equals sign", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        {"name and value trimmed", "[s]\r\n  sp  =  v v  \r\n", "s", "sp", "v v"},
        {"key argument trimmed of spaces", "[s]\r\n  sp  =  v v  \r\n", "s", " sp ", "v v"},
        {"key argument not trimmed of tabs", "[s]\r\nsp=v\r\n", "s", "\tsp\t", missing},
        {"tabs trimmed in the file", "[s]\r\n\ttab\t=\tw\t\r\n", "s", "tab", "w"},
        {"vertical tabs trimmed in the file", "[s]\r\nvt\v=\vx\v\r\n", "s", "vt", "x"},
        {"blanks inside kept", "[s]\r\nmy key = my value\r\n", "s", "my key", "my value"},
        {"present empty value", "[s]\r\nk=\r\n", "s", "k", ""},
        {"present value of blanks", "[s]\r\nk=   \r\n", "s", "k", ""},
        {"double quotes removed", "[s]\r\nd=\"v v\"\r\n", "s", "d", "v v"},
        {"single quotes removed", "[s]\r\nd='v v'\r\n", "s", "d", "v v"},
        {"unmatched quotes kept", "[s]\r\nm=\"v'\r\n", "s", "m", "\"v'"},
        {"a lone quote kept", "[s]\r\nq=\"\r\n", "s", "q", "\""},
        {"empty quotes give empty", "[s]\r\ne=\"\"\r\n", "s", "e", ""},
        {"blanks inside quotes kept", "[s]\r\nsp=  \" x \"  \r\n", "s", "sp", " x "},
        {"one pair only", "[s]\r\nin=\"a\"b\"\r\n", "s", "in", "a\"b"},
        {"inner quotes of the other kind kept", "[s]\r\nq='\"x\"'\r\n", "s", "q", "\"x\""},
        {"quote only at the end kept", "[s]\r\nq=a\"b\"\r\n", "s", "q", "a\"b\""},
        {"comment line is no key", "[s]\r\n;c=1\r\n", "s", ";c", missing},
        {"indented comment line is no key", "[s]\r\n  ;c=1\r\n", "s", ";c", missing},
        {"semicolon inside a value is data", "[s]\r\nk=v ; not a comment\r\n", "s", "k",
         "v ; not a comment"},
        {"hash starts no comment", "[s]\r\n#h=2\r\n", "s", "#h", "2"},
        {"a line without equals sign is no key", "[s]\r\nbare\r\n", "s", "bare", missing},
        {"empty key name", "[s]\r\n=a\r\nk=v\r\n", "s", "", "a"},
        {"first key wins", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "1"},
        {"first section wins", "[s]\r\nk=1\r\n[t]\r\n[S]\r\nk=3\r\nj=4\r\n", "s", "k", "1"},
        {"keys of a later duplicate section unseen", "[s]\r\nk=1\r\n[t]\r\n[S]\r\nj=4\r\n", "s",
         "j", missing},
        {"case-insensitive names", "[SeCtIoN]\r\nKeY=Value\r\n", "section", "KEY", "Value"},
        {"case folding is ASCII only", "[\xC9t\xE9]\r\n\xC4k=v\r\n", "\xE9T\xC9", "\xE4K", missing},
        {"non-ASCII names match exactly", "[\xC9t\xE9]\r\n\xC4k=v\r\n", "\xC9t\xE9", "\xC4k", "v"},
        {"LF line ends", "[s]\nk=v\nj=w\n", "s", "j", "w"},
        {"lone CR line ends", "[s]\rk=v\rj=w\r", "s", "j", "w"},
        {"mixed line ends", "[s]\n\rk=v\r\r\nj=w\x1a", "s", "j", "w"},
        {"last line without line end", "[s]\r\nk=v", "s", "k", "v"},
        {"value cut at a NUL", "[s]\r\nk=ab\0cd\r\nj=w\r\n"s, "s", "k", "ab"},
        {"line after a NUL still read", "[s]\r\nk=ab\0cd\r\nj=w\r\n"s, "s", "j", "w"},
        {"section argument cut at a NUL", "[s]\r\nk=v\r\n", "s\0x"s, "k", "v"},
        {"empty text", "", "s", "k", missing},
        {"missing section", "[s]\r\nk=v\r\n", "t", "k", missing},
        {"missing key", "[s]\r\nk=v\r\n", "s", "j", missing},
        {"clone's CR line reads as blank lines", "[a]\r\nk=1\r\r\n[b]\r\nk=2", "b", "k", "2"},
    };
}

}  // namespace vendaro::ini

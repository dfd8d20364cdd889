#include "store/script_store.h"

#include <doctest/doctest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "store/tests/store_fixture.h"

namespace vendaro::test {
namespace {

using namespace std::string_literals;

std::string Show(const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\0') {
            out += "\\0";
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::string> Names(const std::vector<ScriptRow>& rows) {
    std::vector<std::string> names;
    for (const ScriptRow& row : rows) names.push_back(row.name);
    return names;
}

const std::string kTwoScripts =
    "[Sales]\r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\nServer=db1\r\n"
    "[Stock]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\nDBQ=C:\\stock.mdb\r\n";

}  // namespace

TEST_CASE("AppDir and IniFile") {
    auto profile = MakeNativeProfile();
    SUBCASE("a directory without a trailing separator gets one") {
        ScriptStore store(*profile, "C:\\Tools\\Vendaro", "vendaro.exe", '\\');
        CHECK(store.AppDir() == "C:\\Tools\\Vendaro\\");
        CHECK(store.ScriptFile() == "C:\\Tools\\Vendaro\\vendaro.ini");
        CHECK(store.IniFile() == "C:\\Tools\\Vendaro\\vendaro.ini");
    }
    SUBCASE("a drive root already ends in one") {
        ScriptStore store(*profile, "C:\\", "vendaro.exe", '\\');
        CHECK(store.AppDir() == "C:\\");
        CHECK(store.IniFile() == "C:\\vendaro.ini");
    }
    SUBCASE("the key-level file follows the executable's name, the listing does not") {
        ScriptStore store(*profile, "/opt/vendaro", "tool.v2.exe", '/');
        CHECK(store.AppDir() == "/opt/vendaro/");
        CHECK(store.ScriptFile() == "/opt/vendaro/vendaro.ini");
        CHECK(store.IniFile() == "/opt/vendaro/tool.v2.ini");
    }
    SUBCASE("an executable without an extension") {
        ScriptStore store(*profile, "/opt/vendaro/", "vendaro", '/');
        CHECK(store.AppDir() == "/opt/vendaro/");
        CHECK(store.IniFile() == "/opt/vendaro/vendaro.ini");
    }
}

TEST_CASE("ReadIniString") {
    StoreFixture f;
    SUBCASE("a missing file gives the default") {
        CHECK(f.Read("Sales", "DSN_Driver", "none") == "none");
        CHECK_FALSE(PathExists(f.ini));
    }
    SUBCASE("a file of 0 bytes gives the default") {
        f.Given("");
        CHECK(f.Read("Sales", "DSN_Driver", "none") == "none");
    }
    SUBCASE("missing section and missing key give the default") {
        f.Given(kTwoScripts);
        CHECK(f.Read("Orders", "DSN_Driver", "none") == "none");
        CHECK(f.Read("Sales", "DBQ", "none") == "none");
        CHECK(f.Read("Sales", "DBQ") == "");
    }
    SUBCASE("names match without regard to case; the value keeps its case") {
        f.Given(kTwoScripts);
        CHECK(f.Read("sales", "dsn_driver") == "SQL Server");
        CHECK(f.Read("STOCK", "dbq") == "C:\\stock.mdb");
    }
    SUBCASE("a present empty key gives the empty string, not the default") {
        f.Given("[Sales]\r\nDescription=\r\nPWD=  \r\n");
        CHECK(f.Read("Sales", "Description", "none") == "");
        CHECK(f.Read("Sales", "PWD", "none") == "");
    }
    SUBCASE("one pair of quotes is removed") {
        f.Given("[s]\r\nd=\"v v\"\r\ns='x'\r\nm=\"v'\r\n");
        CHECK(f.Read("s", "d") == "v v");
        CHECK(f.Read("s", "s") == "x");
        CHECK(f.Read("s", "m") == "\"v'");
    }
    SUBCASE("trailing spaces of the default are dropped") {
        CHECK(f.Read("s", "k", "def  ") == "def");
        CHECK(f.Read("s", "k", "  def") == "  def");
    }
    SUBCASE("a value longer than 2047 characters reads back cut to 2047") {
        const std::string value(3000, 'v');
        REQUIRE(f.store.WriteIniString("s", "k", value));
        CHECK(f.Read("s", "k") == std::string(2047, 'v'));
    }
    SUBCASE("the first of duplicate sections and keys wins") {
        f.Given("[s]\r\nk=1\r\nk=2\r\n[t]\r\n[S]\r\nk=3\r\nj=4\r\n");
        CHECK(f.Read("s", "k") == "1");
        CHECK(f.Read("s", "j", "none") == "none");
    }
    SUBCASE("lines may end in LF or a lone CR") {
        f.Given("[a]\nk=1\n[b]\rk=2\r[c]\r\nk=3");
        CHECK(f.Read("a", "k") == "1");
        CHECK(f.Read("b", "k") == "2");
        CHECK(f.Read("c", "k") == "3");
    }
    SUBCASE("a header line's name runs to its first closing bracket") {
        f.Given("[s] ; old\r\nk=v\r\n");
        CHECK(f.Read("s", "k") == "v");
        if (!WineDiffers("Wine takes a header's name up to its last closing bracket")) {
            f.Given("[a]b]\r\nk=v\r\n");
            CHECK(f.Read("a", "k") == "v");
            CHECK(f.Read("a]b", "k", "none") == "none");
        }
    }
    SUBCASE("a comment line is no key") {
        f.Given("[s]\r\n;k=1\r\n");
        if (!WineDiffers("Wine finds keys on comment lines")) {
            CHECK(f.Read("s", ";k", "none") == "none");
        }
    }
    SUBCASE("an explicit file is read instead of the script file") {
        const std::string other = f.dir.File("ODBC.INI");
        WriteBytes(other, "[ODBC 32 bit Data Sources]\r\nSales=Microsoft Access Driver\r\n");
        f.Given("[ODBC 32 bit Data Sources]\r\nSales=wrong file\r\n");
        CHECK(f.store.ReadIniString("ODBC 32 bit Data Sources", "Sales", "", other) ==
              "Microsoft Access Driver");
    }
}

TEST_CASE("WriteIniString") {
    StoreFixture f;
    SUBCASE("a write into a missing file creates it") {
        CHECK(f.store.WriteIniString("Sales", "DSN_Driver", "SQL Server"));
        CHECK(Show(f.Bytes()) == Show("[Sales]\r\nDSN_Driver=SQL Server\r\n"));
    }
    SUBCASE("a write into a missing section adds it at the end") {
        f.Given(kTwoScripts);
        CHECK(f.store.WriteIniString("Orders", "DSN_Driver", "SQL Server"));
        CHECK(Show(f.Bytes()) == Show(kTwoScripts + "[Orders]\r\nDSN_Driver=SQL Server\r\n"));
    }
    SUBCASE("a changed key is rewritten, the rest stays") {
        f.Given(kTwoScripts);
        CHECK(f.store.WriteIniString("sales", "server", "db2"));
        CHECK(f.Read("Sales", "Server") == "db2");
        CHECK(f.Read("Sales", "Description") == "Sales figures");
        CHECK(f.Read("Stock", "DBQ") == "C:\\stock.mdb");
    }
    SUBCASE("an empty value removes the key") {
        f.Given(kTwoScripts);
        CHECK(f.store.WriteIniString("Sales", "Description", ""));
        CHECK(f.Read("Sales", "Description", "none") == "none");
        CHECK(Show(f.Bytes()).find("Description") == std::string::npos);
        auto rows = f.store.ListScripts();
        REQUIRE(rows.size() == 2);
        CHECK(rows[0].description == "");
        CHECK(rows[0].driver == "SQL Server");
    }
    SUBCASE("an empty key removes the whole section") {
        f.Given(kTwoScripts);
        CHECK(f.store.WriteIniString("SALES", "", ""));
        CHECK(
            Show(f.Bytes()) ==
            Show("[Stock]\r\nDSN_Driver=Microsoft Access Driver (*.mdb)\r\nDBQ=C:\\stock.mdb\r\n"));
        CHECK(f.Read("Sales", "DSN_Driver", "none") == "none");
    }
    SUBCASE("removing what is not there changes nothing") {
        f.Given(kTwoScripts);
        CHECK(f.store.WriteIniString("Sales", "Nothing", ""));
        CHECK(f.store.WriteIniString("Orders", "DSN_Driver", ""));
        CHECK(f.store.WriteIniString("Orders", "", ""));
        CHECK(f.Bytes() == kTwoScripts);
    }
    SUBCASE("removing from a missing file creates no file") {
        CHECK(f.store.WriteIniString("Sales", "Description", ""));
        CHECK(f.store.WriteIniString("Sales", "", ""));
        if (!WindowsDiffers("Windows leaves an empty file")) CHECK_FALSE(PathExists(f.ini));
    }
    SUBCASE("an explicit file is written instead of the script file") {
        const std::string other = f.dir.File("ODBC.INI");
        CHECK(f.store.WriteIniString("ODBC 32 bit Data Sources", "Sales", "Driver", other));
        CHECK(Show(ReadBytes(other)) == Show("[ODBC 32 bit Data Sources]\r\nSales=Driver\r\n"));
        CHECK_FALSE(PathExists(f.ini));
    }
    SUBCASE("section, key or value holding CR, LF or NUL is refused and changes nothing") {
        f.Given(kTwoScripts);
        const std::vector<std::string> bad = {"a\rb", "a\nb", "a\r\nb", "a\0b"s, "\n", "x\r"};
        for (const std::string& text : bad) {
            INFO("refused text: ", Show(text));
            CHECK_FALSE(f.store.WriteIniString(text, "Description", "x"));
            CHECK_FALSE(f.store.WriteIniString("Sales", text, "x"));
            CHECK_FALSE(f.store.WriteIniString("Sales", "Description", text));
            CHECK_FALSE(f.store.WriteIniString("Sales", "Description", "new\r\n[Evil]\r\nk=v"));
            CHECK_FALSE(f.store.WriteIniString(text, "Description", ""));
            CHECK_FALSE(f.store.WriteIniString(text, "", ""));
        }
        CHECK(f.Bytes() == kTwoScripts);
    }
    SUBCASE("a refused write into a missing file creates no file") {
        CHECK_FALSE(f.store.WriteIniString("Sales", "Description", "a\r\nb"));
        CHECK_FALSE(PathExists(f.ini));
    }
    SUBCASE("names that would read back as other names are refused") {
        f.Given(kTwoScripts);
        CHECK_FALSE(f.store.WriteIniString("Sales]x", "Description", "v"));
        CHECK_FALSE(f.store.WriteIniString("Sales", "a=b", "v"));
        CHECK_FALSE(f.store.WriteIniString("Sales", "[Evil", "v"));
        CHECK_FALSE(f.store.WriteIniString("Sales", ";k", "v"));
        CHECK(f.Bytes() == kTwoScripts);
    }
    SUBCASE("a missing directory fails and is not created") {
        const std::string file = f.dir.File("nodir") + kSeparator + "vendaro.ini";
        CHECK_FALSE(f.store.WriteIniString("Sales", "DSN_Driver", "SQL Server", file));
        CHECK_FALSE(PathExists(f.dir.File("nodir")));
        CHECK(f.store.ReadIniString("Sales", "DSN_Driver", "none", file) == "none");
    }
    SUBCASE("a directory in the file's place fails") {
        MakeDirectory(f.ini);
        CHECK_FALSE(f.store.WriteIniString("Sales", "DSN_Driver", "SQL Server"));
        CHECK(f.Read("Sales", "DSN_Driver", "none") == "none");
        CHECK_FALSE(f.store.FileExists(f.ini));
        CHECK(f.store.ListScripts().empty());
        CHECK(f.store.CopySection("Sales", "Copy") == CopyResult::NoFile);
    }
}

TEST_CASE("writes edit the file in place") {
    StoreFixture f;
    if (WineDiffers("Wine rewrites the whole file, dropping blank lines and spacing")) return;
    const std::string before =
        "; scripts of the sales team\r\n"
        "\r\n"
        "[Sales]\r\n"
        "DSN_Driver = SQL Server\r\n"
        "  Description=Sales figures\r\n"
        "; the server moves in May\r\n"
        "Server=db1\r\n"
        "\r\n"
        "[Stock]\n"
        "DSN_Driver=Microsoft Access Driver (*.mdb)\n";
    f.Given(before);
    SUBCASE("a changed key keeps its place; every other line stays byte for byte") {
        CHECK(f.store.WriteIniString("sales", "description", "All sales"));
        CHECK(Show(f.Bytes()) == Show("; scripts of the sales team\r\n"
                                      "\r\n"
                                      "[Sales]\r\n"
                                      "DSN_Driver = SQL Server\r\n"
                                      "Description=All sales\r\n"
                                      "; the server moves in May\r\n"
                                      "Server=db1\r\n"
                                      "\r\n"
                                      "[Stock]\n"
                                      "DSN_Driver=Microsoft Access Driver (*.mdb)\n"));
    }
    SUBCASE("writing the value a key already holds leaves the file as it is") {
        CHECK(f.store.WriteIniString("Sales", "DSN_Driver", "SQL Server"));
        CHECK(f.Bytes() == before);
    }
    SUBCASE("a new key goes after the last key line of its section") {
        CHECK(f.store.WriteIniString("Sales", "Database", "pubs"));
        CHECK(Show(f.Bytes()) == Show("; scripts of the sales team\r\n"
                                      "\r\n"
                                      "[Sales]\r\n"
                                      "DSN_Driver = SQL Server\r\n"
                                      "  Description=Sales figures\r\n"
                                      "; the server moves in May\r\n"
                                      "Server=db1\r\n"
                                      "Database=pubs\r\n"
                                      "\r\n"
                                      "[Stock]\n"
                                      "DSN_Driver=Microsoft Access Driver (*.mdb)\n"));
    }
    SUBCASE("a removed key takes only its own line") {
        CHECK(f.store.WriteIniString("Sales", "Server", ""));
        CHECK(Show(f.Bytes()) == Show("; scripts of the sales team\r\n"
                                      "\r\n"
                                      "[Sales]\r\n"
                                      "DSN_Driver = SQL Server\r\n"
                                      "  Description=Sales figures\r\n"
                                      "; the server moves in May\r\n"
                                      "\r\n"
                                      "[Stock]\n"
                                      "DSN_Driver=Microsoft Access Driver (*.mdb)\n"));
    }
    SUBCASE("a removed section leaves its comments") {
        CHECK(f.store.WriteIniString("Sales", "", ""));
        CHECK(Show(f.Bytes()) == Show("; scripts of the sales team\r\n"
                                      "\r\n"
                                      "; the server moves in May\r\n"
                                      "[Stock]\n"
                                      "DSN_Driver=Microsoft Access Driver (*.mdb)\n"));
    }
    SUBCASE("a new section goes at the end") {
        CHECK(f.store.WriteIniString("Orders", "DSN_Driver", "SQL Server"));
        CHECK(Show(f.Bytes()) == Show(before + "[Orders]\r\nDSN_Driver=SQL Server\r\n"));
    }
}

TEST_CASE("FileExists") {
    StoreFixture f;
    CHECK_FALSE(f.store.FileExists(f.ini));
    f.Given("");
    CHECK_FALSE(f.store.FileExists(f.ini));
    f.Given("x");
    CHECK(f.store.FileExists(f.ini));
    CHECK_FALSE(f.store.FileExists(f.dir.path()));
    CHECK_FALSE(f.store.FileExists(f.dir.File("nodir") + kSeparator + "x.ini"));
}

TEST_CASE("ListScripts") {
    StoreFixture f;
    SUBCASE("a missing file lists nothing") {
        CHECK(f.store.ListScripts().empty());
    }
    SUBCASE("a file of 0 bytes lists nothing") {
        f.Given("");
        CHECK(f.store.ListScripts().empty());
    }
    SUBCASE("every header line in file order, with Description and DSN_Driver") {
        f.Given(kTwoScripts + "[Empty]\r\n");
        auto rows = f.store.ListScripts();
        REQUIRE(rows.size() == 3);
        CHECK(rows[0].name == "Sales");
        CHECK(rows[0].description == "Sales figures");
        CHECK(rows[0].driver == "SQL Server");
        CHECK(rows[1].name == "Stock");
        CHECK(rows[1].description == "");
        CHECK(rows[1].driver == "Microsoft Access Driver (*.mdb)");
        CHECK(rows[2].name == "Empty");
        CHECK(rows[2].driver == "");
    }
    SUBCASE("a blank after the closing bracket ends up in the name, whose keys read as empty") {
        f.Given("[Sales] \r\nDSN_Driver=SQL Server\r\nDescription=Sales figures\r\n");
        auto rows = f.store.ListScripts();
        REQUIRE(rows.size() == 1);
        CHECK(rows[0].name == "Sales]");
        CHECK(rows[0].description == "");
        CHECK(rows[0].driver == "");
    }
    SUBCASE("a header with a blank before its bracket is not listed") {
        f.Given(" [Hidden]\r\nDSN_Driver=SQL Server\r\n[Shown]\r\nDSN_Driver=SQL Server\r\n");
        CHECK(Names(f.store.ListScripts()) == std::vector<std::string>{"Shown"});
    }
    SUBCASE("sections whose names differ only in case are both listed") {
        f.Given("[Sales]\r\nDescription=first\r\n[SALES]\r\nDescription=second\r\n");
        auto rows = f.store.ListScripts();
        REQUIRE(rows.size() == 2);
        CHECK(rows[0].name == "Sales");
        CHECK(rows[1].name == "SALES");
        // The key-level reads find the first of the two for both rows.
        CHECK(rows[0].description == "first");
        CHECK(rows[1].description == "first");
    }
    SUBCASE("header lines are taken literally; a lone or empty bracket pair names nothing") {
        f.Given("[\r\n[]\r\n[a b]\r\n[x]y\r\n[open\r\nk=[v]\r\n; [comment]\r\n");
        CHECK(Names(f.store.ListScripts()) == std::vector<std::string>{"a b", "x]", "ope"});
    }
    SUBCASE("lines may end in LF or a lone CR") {
        f.Given("[a]\n[b]\r[c]\r\n\r\r\n[d]");
        CHECK(Names(f.store.ListScripts()) == std::vector<std::string>{"a", "b", "c", "d"});
    }
}

TEST_CASE("CopySection") {
    StoreFixture f;
    SUBCASE("a missing or empty file copies nothing") {
        CHECK(f.store.CopySection("Sales", "Copy") == CopyResult::NoFile);
        CHECK_FALSE(PathExists(f.ini));
        f.Given("");
        CHECK(f.store.CopySection("Sales", "Copy") == CopyResult::NoFile);
        CHECK(f.Bytes() == "");
    }
    SUBCASE("appends a CR line, the new header and the trimmed key lines, with no last line end") {
        f.Given(
            "[Sales]\r\n  DSN_Driver=SQL Server  \r\nDescription=Sales figures\r\n"
            "[Stock]\r\nDSN_Driver=x\r\n");
        CHECK(f.store.CopySection("sales", "Sales 2") == CopyResult::Copied);
        CHECK(Show(f.Bytes()) == Show("[Sales]\r\n  DSN_Driver=SQL Server  \r\n"
                                      "Description=Sales figures\r\n[Stock]\r\nDSN_Driver=x\r\n"
                                      "\r\r\n[Sales 2]\r\nDSN_Driver=SQL Server\r\n"
                                      "Description=Sales figures"));
        CHECK(f.Read("Sales 2", "DSN_Driver") == "SQL Server");
        CHECK(f.Read("Sales 2", "Description") == "Sales figures");
        CHECK(Names(f.store.ListScripts()) ==
              std::vector<std::string>{"Sales", "Stock", "Sales 2"});

        SUBCASE("a second copy starts by ending that last line") {
            CHECK(f.store.CopySection("Sales 2", "Sales 3") == CopyResult::Copied);
            CHECK(Show(f.Bytes()) == Show("[Sales]\r\n  DSN_Driver=SQL Server  \r\n"
                                          "Description=Sales figures\r\n[Stock]\r\nDSN_Driver=x\r\n"
                                          "\r\r\n[Sales 2]\r\nDSN_Driver=SQL Server\r\n"
                                          "Description=Sales figures"
                                          "\r\r\n[Sales 3]\r\nDSN_Driver=SQL Server\r\n"
                                          "Description=Sales figures"));
            CHECK(f.Read("Sales 2", "Description") == "Sales figures");
            CHECK(f.Read("Sales 3", "Description") == "Sales figures");
        }
        SUBCASE("a key written into the copy reads back, and so does the copy's last key") {
            CHECK(f.store.WriteIniString("Sales 2", "Server", "db2"));
            CHECK(f.Read("Sales 2", "Server") == "db2");
            CHECK(f.Read("Sales 2", "Description") == "Sales figures");
            if (!WineDiffers("Wine rewrites the whole file")) {
                CHECK(Show(f.Bytes()).rfind("Description=Sales figures\\r\\nServer=db2\\r\\n") !=
                      std::string::npos);
            }
        }
        SUBCASE("a new section after the copy ends its last line first") {
            CHECK(f.store.WriteIniString("Orders", "DSN_Driver", "SQL Server"));
            CHECK(f.Read("Sales 2", "Description") == "Sales figures");
            CHECK(f.Read("Orders", "DSN_Driver") == "SQL Server");
            if (!WineDiffers("Wine rewrites the whole file")) {
                const std::string tail =
                    "Description=Sales figures\r\n[Orders]\r\nDSN_Driver=SQL Server\r\n";
                const std::string bytes = f.Bytes();
                CHECK(Show(bytes.substr(bytes.size() - tail.size())) == Show(tail));
            }
        }
    }
    SUBCASE("the copy stops at the first empty line of the source") {
        f.Given("[Sales]\r\nDSN_Driver=SQL Server\r\n   \r\nServer=db1\r\n");
        CHECK(f.store.CopySection("Sales", "Copy") == CopyResult::Copied);
        CHECK(Show(f.Bytes()) == Show("[Sales]\r\nDSN_Driver=SQL Server\r\n   \r\nServer=db1\r\n"
                                      "\r\r\n[Copy]\r\nDSN_Driver=SQL Server"));
        CHECK(f.Read("Copy", "Server", "none") == "none");
    }
    SUBCASE("the copy stops at the next header, even an indented one") {
        f.Given("[Sales]\r\nDSN_Driver=SQL Server\r\n  [Next]\r\nk=v\r\n");
        CHECK(f.store.CopySection("Sales", "Copy") == CopyResult::Copied);
        CHECK(Show(f.Bytes()) == Show("[Sales]\r\nDSN_Driver=SQL Server\r\n  [Next]\r\nk=v\r\n"
                                      "\r\r\n[Copy]\r\nDSN_Driver=SQL Server"));
    }
    SUBCASE("the source header is found untrimmed and case-insensitively, first one only") {
        f.Given(" [Sales]\r\nk=indented\r\n[SALES]\r\nk=first\r\n[Sales]\r\nk=second\r\n");
        CHECK(f.store.CopySection("sales", "Copy") == CopyResult::Copied);
        CHECK(Show(f.Bytes()) == Show(" [Sales]\r\nk=indented\r\n[SALES]\r\nk=first\r\n"
                                      "[Sales]\r\nk=second\r\n\r\r\n[Copy]\r\nk=first"));
    }
    SUBCASE("a missing source writes the new header alone") {
        f.Given(kTwoScripts);
        CHECK(f.store.CopySection("Orders", "Copy") == CopyResult::Copied);
        CHECK(Show(f.Bytes()) == Show(kTwoScripts + "\r\r\n[Copy]\r\n"));
        CHECK(Names(f.store.ListScripts()) == std::vector<std::string>{"Sales", "Stock", "Copy"});
    }
    SUBCASE("the last line of the file is taken") {
        f.Given("[Sales]\r\nDSN_Driver=SQL Server\r\nServer=db1");
        CHECK(f.store.CopySection("Sales", "Copy") == CopyResult::Copied);
        CHECK(f.Read("Copy", "Server") == "db1");
        CHECK(f.Read("Sales", "Server") == "db1");
    }
    SUBCASE("a new name holding CR, LF, NUL or a closing bracket is refused") {
        f.Given(kTwoScripts);
        for (const std::string& name : {"a\r\nb"s, "a\nb"s, "a\0b"s, "a]b"s}) {
            CHECK(f.store.CopySection("Sales", name) == CopyResult::WriteFailed);
        }
        CHECK(f.Bytes() == kTwoScripts);
    }
}

TEST_CASE("a change made by another program is seen by the next call") {
    StoreFixture f;
    f.Given("[Sales]\r\nDescription=aaaa\r\n");
    CHECK(f.Read("Sales", "Description") == "aaaa");
    CHECK(f.Read("Sales", "Description") == "aaaa");
    SUBCASE("rewritten in place with the same size") {
        f.Given("[Sales]\r\nDescription=bbbb\r\n");
        CHECK(f.Read("Sales", "Description") == "bbbb");
        f.Given("[Sales]\r\nDescription=cccc\r\n");
        CHECK(f.Read("Sales", "Description") == "cccc");
    }
    SUBCASE("grown") {
        f.Given("[Sales]\r\nDescription=aaaa\r\n[Stock]\r\nDescription=s\r\n");
        CHECK(f.Read("Stock", "Description") == "s");
    }
    SUBCASE("deleted") {
        REQUIRE(std::remove(f.ini.c_str()) == 0);
        CHECK(f.Read("Sales", "Description", "gone") == "gone");
    }
    SUBCASE("a write of this program followed by another program's") {
        CHECK(f.store.WriteIniString("Sales", "Description", "dddd"));
        CHECK(f.Read("Sales", "Description") == "dddd");
        f.Given("[Sales]\r\nDescription=eeee\r\n");
        CHECK(f.Read("Sales", "Description") == "eeee");
    }
}

}  // namespace vendaro::test

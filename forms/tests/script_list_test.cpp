#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "forms/script_list.h"

namespace vendaro {
namespace {

std::vector<std::string> Texts(const ScriptList& list) {
    std::vector<std::string> texts;
    for (const ListRow& row : list.Rows()) texts.push_back(row.text);
    return texts;
}

ScriptList ListOf(const std::vector<ListRow>& rows) {
    ScriptList list;
    for (const ListRow& row : rows) list.Add(row);
    return list;
}

TEST_CASE("Rows are addressed from 1 in the order they were added") {
    ScriptList list = ListOf({{"B", "b", "SQL Server"}, {"A", "a", "SQL Server"}});
    CHECK(list.Count() == 2);
    CHECK(list.Row(1).text == "B");
    CHECK(list.Row(2).text == "A");
    CHECK(list.Selected() == 0);
    CHECK_FALSE(list.Sorted());
}

TEST_CASE("The selection stays on its row while other rows come and go") {
    ScriptList list = ListOf({{"A", "", ""}, {"B", "", ""}, {"C", "", ""}});
    list.Select(2);

    SUBCASE("removing a row before it") {
        list.Remove(1);
        CHECK(list.Selected() == 1);
        CHECK(list.Row(list.Selected()).text == "B");
    }
    SUBCASE("removing a row after it") {
        list.Remove(3);
        CHECK(list.Selected() == 2);
    }
    SUBCASE("removing the selected row clears the selection") {
        list.Remove(2);
        CHECK(list.Selected() == 0);
        CHECK(Texts(list) == std::vector<std::string>{"A", "C"});
    }
    SUBCASE("positions outside the list change nothing") {
        list.Remove(0);
        list.Remove(4);
        list.Select(4);
        list.Select(-1);
        CHECK(list.Count() == 3);
        CHECK(list.Selected() == 2);
    }
    SUBCASE("0 clears the selection") {
        list.Select(0);
        CHECK(list.Selected() == 0);
    }
}

TEST_CASE("Sorting orders by one column without regard to case and keeps ties in order") {
    ScriptList list = ListOf({{"beta", "2", "SQL Server"},
                              {"Alpha", "1", "Microsoft Access Driver (*.mdb)"},
                              {"gamma", "3", "SQL Server"},
                              {"ALPHA2", "4", "Adaptive Server Anywhere 6.0"}});
    list.Select(3);  // gamma

    SUBCASE("by DSN ascending") {
        list.Sort(0, false);
        CHECK(Texts(list) == std::vector<std::string>{"Alpha", "ALPHA2", "beta", "gamma"});
        CHECK(list.Row(list.Selected()).text == "gamma");
    }
    SUBCASE("by Driver descending; equal drivers keep their order") {
        list.Sort(2, true);
        CHECK(Texts(list) == std::vector<std::string>{"beta", "gamma", "Alpha", "ALPHA2"});
        CHECK(list.Selected() == 2);
        CHECK(list.SortKey() == 2);
        CHECK(list.SortDescending());
    }
    SUBCASE("a row added to a sorted list takes its place in the order") {
        list.Sort(0, false);
        int position = list.Add({"Delta", "5", "SQL Server"});
        CHECK(position == 4);
        CHECK(Texts(list) == std::vector<std::string>{"Alpha", "ALPHA2", "beta", "Delta", "gamma"});
        CHECK(list.Row(list.Selected()).text == "gamma");
    }
    SUBCASE("a changed text keeps its row's place") {
        list.Sort(0, false);
        list.SetText(1, "zulu");
        CHECK(list.Row(1).text == "zulu");
        list.SetDescription(1, "new");
        list.SetDriver(1, "SQL Server");
        CHECK(list.Row(1).description == "new");
        CHECK(list.Row(1).driver == "SQL Server");
    }
    SUBCASE("an unknown column sorts nothing") {
        list.Sort(3, true);
        CHECK_FALSE(list.Sorted());
        CHECK(Texts(list) == std::vector<std::string>{"beta", "Alpha", "gamma", "ALPHA2"});
    }
}

}  // namespace
}  // namespace vendaro

#include <doctest/doctest.h>

#include <functional>
#include <string>
#include <tuple>

#include "forms/controls.h"
#include "forms/script_list.h"
#include "forms/text_rules.h"

namespace vendaro {
namespace {

using namespace std::string_literals;

// The list after each step: the step's result, the selection, the sort (column * 10 +
// descending), then every row.
TEST_CASE("script list: rows come and go, the selection stays on its row, sorting ignores case") {
    ScriptList list;
    auto dump = [&](int result) {
        std::string out = std::to_string(result) + " sel " + std::to_string(list.Selected());
        if (list.Sorted())
            out += " by " + std::to_string(list.SortKey() * 10 + list.SortDescending());
        for (const ListRow& row : list.Rows())
            out += " | " + row.text + "," + row.description + "," + row.driver;
        return out;
    };
    const std::pair<std::function<int()>, std::string> steps[] = {
        // clang-format off
        {[&] { return list.Add({"beta", "2", "s"}); }, "1 sel 0 | beta,2,s"},
        {[&] { list.Add({"Alpha", "1", "M"}); list.Add({"gamma", "3", "S"});
               return list.Add({"ALPHA2", "4", "a"}); },
         "4 sel 0 | beta,2,s | Alpha,1,M | gamma,3,S | ALPHA2,4,a"},
        {[&] { list.Select(3); list.Select(5); list.Select(-1); list.Sort(3, false); return 0; },
         "0 sel 3 | beta,2,s | Alpha,1,M | gamma,3,S | ALPHA2,4,a"},
        {[&] { list.Sort(2, true); return 0; },
         "0 sel 2 by 21 | beta,2,s | gamma,3,S | Alpha,1,M | ALPHA2,4,a"},
        {[&] { return list.Add({"Delta", "0", "m"}); },
         "4 sel 2 by 21 | beta,2,s | gamma,3,S | Alpha,1,M | Delta,0,m | ALPHA2,4,a"},
        {[&] { list.Sort(0, false); return list.Add({"Beta", "5", "x"}); },
         "4 sel 6 by 0 | Alpha,1,M | ALPHA2,4,a | beta,2,s | Beta,5,x | Delta,0,m | gamma,3,S"},
        {[&] { list.Sort(1, false); list.Add({"zero", "", ""}); return list.Add({"mid", "25", ""}); },
         "5 sel 6 by 10 | zero,, | Delta,0,m | Alpha,1,M | beta,2,s | mid,25, | gamma,3,S | ALPHA2,4,a | Beta,5,x"},
        {[&] { list.SetText(1, "Z"); list.SetDescription(1, "9"); list.SetDriver(1, "d");
               list.SetText(0, "?"); list.SetDescription(9, "?"); list.SetDriver(9, "?");
               list.Remove(0); list.Remove(9); list.Remove(8); return 0; },
         "0 sel 6 by 10 | Z,9,d | Delta,0,m | Alpha,1,M | beta,2,s | mid,25, | gamma,3,S | ALPHA2,4,a"},
        {[&] { list.Remove(1); list.Remove(6); list.Remove(5); return list.Count(); },
         "4 sel 0 by 10 | Delta,0,m | Alpha,1,M | beta,2,s | mid,25,"},
        {[&] { list.Select(4); const int selected = list.Selected(); list.Select(0);
               return selected; },
         "4 sel 0 by 10 | Delta,0,m | Alpha,1,M | beta,2,s | mid,25,"},
        // clang-format on
    };
    for (const auto& [step, expected] : steps) CHECK(dump(step()) == expected);
}

TEST_CASE("text rules: Windows-1252 case, blanks, control characters") {
    CHECK(text::LowerAnsi("AZ@[\xBF\xC0\xD7\xDE\xDF\x8A\x8C\x8E\x9F\x8B") ==
          "az@[\xBF\xE0\xD7\xFE\xDF\x9A\x9C\x9E\xFF\x8B");
    CHECK(text::TrimBlanks("  a b \t  ") == "a b \t");
    CHECK(text::TrimTrailingBlanks("  a  ") == "  a");
    CHECK(text::TrimBlanks("   ").empty());
    // a, b, equal ignoring case, may name the same section
    const std::tuple<std::string, std::string, bool, bool> pairs[] = {
        {"S\xC0\x8A", "s\xE0\x9A", true, true}, {"ab", "abc", false, false},
        {" \t\x0B\x1AS\r\n", "s", false, true}, {"\x08S", "s", false, false},
        {"S\x0E", "s", false, false},           {"\x1BS\x19", "s", false, false},
        {"Sa les", "sales", false, false},      {"\xD7", "\xF7", false, false}};
    for (const auto& [a, b, equal, same_section] : pairs) {
        CAPTURE(a);
        CHECK(text::EqualsIgnoringCase(a, b) == equal);
        CHECK(text::MayNameSameSection(a, b) == same_section);
    }
    for (int code : {0, 31, 127}) CHECK_MESSAGE(text::IsControlCharacter(code), code);
    for (int code : {-1, 32, 126, 128}) CHECK_FALSE_MESSAGE(text::IsControlCharacter(code), code);
    CHECK(text::HoldsControlBelowSpace("a\x1F"));
    CHECK(text::HoldsControlBelowSpace("\0"s));
    CHECK_FALSE(text::HoldsControlBelowSpace("a \x7F\x80\xFF"));
}

TEST_CASE("a numeric row's caption: the label, then the unit word after the first wide gap") {
    CHECK(SplitUnitCaption("&Liveness timeout:    seconds").label == "&Liveness timeout:");
    CHECK(SplitUnitCaption("&Liveness timeout:    seconds").unit == "seconds");
    CHECK(SplitUnitCaption("Size: kB  x  y").unit == "x  y");
    CHECK(SplitUnitCaption("No unit: here").label == "No unit: here");
    CHECK(SplitUnitCaption("No unit: here").unit.empty());
    CHECK(SplitUnitCaption("Gap last  ").label == "Gap last");
}

}  // namespace
}  // namespace vendaro

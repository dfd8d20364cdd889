#pragma once
// What a data source holds against what its write list would write: value by value, read
// through the platform (the registry or odbc.ini, and the Windows directory's ODBC.INI).
#include <span>
#include <string>
#include <vector>

#include "dsn/write_list.h"
#include "platform/platform.h"

namespace vendaro::ctl {

enum class Problem {
    Missing,      // the write list sets it; the store does not hold it
    Different,    // held with another value
    KindDiffers,  // held as another kind of value (a number as a string)
    Extra,        // held in the data source's keys, not written by the list (not drift)
};

// The text that stands for a password, written or held.
inline constexpr const char* kHidden = "(hidden)";

struct ValueDiff {
    std::string where;  // the key path, or "FILE [SECTION]" for a profile entry
    std::string name;   // the value's (or the entry's key's) name
    Problem problem = Problem::Missing;
    std::string expected, expected_kind;  // empty for an extra value
    std::string found, found_kind;        // empty for a missing value
    bool secret = false;                  // a password: both sides read kHidden
};

enum class State { Absent, InSync, Drifted, Unreadable };

struct Comparison {
    State state = State::Absent;
    std::vector<ValueDiff> differences;  // missing, different, kind differs: what drift is
    std::vector<ValueDiff> extras;
    std::string error;  // why the store could not be read (Unreadable)
};

// Compares `list` (one data source's write list; its first key is the data source's own) with
// what `platform` holds. Absent: the data source's key is missing.
Comparison Compare(const WriteList& list, Platform& platform);

// The same for many lists one after another: the values read for one data source keep their
// room for the next, so a check of a whole library does not allocate every value anew.
class Comparer {
  public:
    Comparison Compare(const WriteList& list, Platform& platform);

  private:
    // Adds the differences of one key's values (`own`: the data source's own key, whose other
    // values are its extras) to `result`.
    void CompareKey(const std::string& path, bool own,
                    std::span<const SetValueOp* const> key_values, Comparison& result);

    std::vector<RegValueView> found_;        // a key's values as read
    std::vector<RegValue> room_;             // what found_ views where the store keeps no copy
    std::vector<std::string> names_;         // the values read of a shared key
    std::vector<char> matched_;              // which of found_ a value of the list named
    std::vector<const SetValueOp*> values_;  // the list's values, regrouped by key
};

// A value of the write list as the text a reader sees ("25", "1"), and its kind's word.
std::string ExpectedText(const SetValueOp& value);
const char* KindName(ValueKind kind);

// True for the value names that hold a password.
bool IsSecret(const std::string& value_name);

const char* ProblemWord(Problem problem);
const char* StateWord(State state);

}  // namespace vendaro::ctl

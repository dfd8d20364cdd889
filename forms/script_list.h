#pragma once
// lvwMain: the main window's script list in report view. Rows are addressed by their position
// in display order, counted from 1. Columns: 0 DSN (the row's text), 1 Description, 2 Driver.
#include <string>
#include <vector>

namespace vendaro {

struct ListRow {
    std::string text;         // DSN name
    std::string description;  // column 1
    std::string driver;       // column 2
};

class ScriptList {
  public:
    int Count() const { return static_cast<int>(rows_.size()); }
    // The row at `position` (1..Count()); positions outside that range are a caller error.
    const ListRow& Row(int position) const { return rows_.at(position - 1); }
    void SetText(int position, std::string text);
    void SetDescription(int position, std::string description);
    void SetDriver(int position, std::string driver);

    // Appends a row (placed in sort order once the list is sorted); returns its position.
    int Add(ListRow row);
    // Removes the row at `position`; the selection is cleared when it was that row.
    void Remove(int position);

    // 0 when no row is selected.
    int Selected() const { return selected_; }
    // Selects `position`; 0 clears the selection.
    void Select(int position);

    // Orders the rows by the text of `column` (0, 1, 2), descending or ascending; rows added
    // later keep that order.
    void Sort(int column, bool descending);
    bool Sorted() const { return sorted_; }
    int SortKey() const { return sort_key_; }
    bool SortDescending() const { return descending_; }

    const std::vector<ListRow>& Rows() const { return rows_; }

  private:
    std::vector<ListRow> rows_;
    int selected_ = 0;
    bool sorted_ = false;
    int sort_key_ = 0;
    bool descending_ = false;
};

}  // namespace vendaro

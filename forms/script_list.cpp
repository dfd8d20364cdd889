#include "forms/script_list.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "forms/text_rules.h"

namespace vendaro {
namespace {

const std::string& Column(const ListRow& row, int column) {
    switch (column) {
        case 1:
            return row.description;
        case 2:
            return row.driver;
        default:
            return row.text;
    }
}

}  // namespace

void ScriptList::SetText(int position, std::string text) {
    // The row keeps its place even in a sorted list: an open editor still addresses it by
    // the position it had when it opened.
    if (position < 1 || position > Count()) return;
    rows_[position - 1].text = std::move(text);
}

void ScriptList::SetDescription(int position, std::string description) {
    if (position < 1 || position > Count()) return;
    rows_[position - 1].description = std::move(description);
}

void ScriptList::SetDriver(int position, std::string driver) {
    if (position < 1 || position > Count()) return;
    rows_[position - 1].driver = std::move(driver);
}

int ScriptList::Add(ListRow row) {
    std::size_t index = rows_.size();
    if (sorted_) {
        const std::string key = text::LowerAnsi(Column(row, sort_key_));
        // After every row that sorts equal, so rows with the same text keep their order.
        auto it = std::find_if(rows_.begin(), rows_.end(), [&](const ListRow& r) {
            const std::string other = text::LowerAnsi(Column(r, sort_key_));
            return descending_ ? other < key : key < other;
        });
        index = static_cast<std::size_t>(it - rows_.begin());
    }
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(index), std::move(row));
    const int position = static_cast<int>(index) + 1;
    if (selected_ >= position) ++selected_;
    return position;
}

void ScriptList::Remove(int position) {
    if (position < 1 || position > Count()) return;
    rows_.erase(rows_.begin() + (position - 1));
    if (selected_ == position) {
        selected_ = 0;
    } else if (selected_ > position) {
        --selected_;
    }
}

void ScriptList::Select(int position) {
    if (position < 0 || position > Count()) return;
    selected_ = position;
}

// The list control's text order: letter case does not count, and rows that sort equal keep
// their order.
void ScriptList::Sort(int column, bool descending) {
    if (column < 0 || column > 2) return;
    sorted_ = true;
    sort_key_ = column;
    descending_ = descending;

    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::vector<std::string> keys;
    keys.reserve(rows_.size());
    for (const ListRow& row : rows_) keys.push_back(text::LowerAnsi(Column(row, column)));
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return descending ? keys[b] < keys[a] : keys[a] < keys[b];
    });

    std::vector<ListRow> sorted;
    sorted.reserve(rows_.size());
    int new_selected = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (selected_ != 0 && order[i] + 1 == static_cast<std::size_t>(selected_))
            new_selected = static_cast<int>(i) + 1;
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_ = std::move(sorted);
    selected_ = new_selected;
}

}  // namespace vendaro

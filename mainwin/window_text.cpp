#include "mainwin/window_text.h"

namespace vendaro {

std::string WindowText(const Form1& form) {
    std::string out = form.Caption() + "\n";
    for (const ColumnHeader& column : form.Columns()) out += "\t" + column.text;
    out += "\n";
    const ScriptList& list = form.lvwMain();
    for (int position = 1; position <= list.Count(); ++position) {
        const ListRow& row = list.Row(position);
        if (position == list.Selected()) out += "*";
        out += "\t" + row.text + "\t" + row.description + "\t" + row.driver + "\n";
    }
    out += form.Label1() + "\n";
    return out;
}

}  // namespace vendaro

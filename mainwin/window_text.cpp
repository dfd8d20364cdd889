#include "mainwin/window_text.h"

namespace vendaro {

std::string Printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string WindowText(const Form1& form) {
    std::string out = Printable(form.Caption()) + "\n";
    for (const ColumnHeader& column : form.Columns()) out += "\t" + Printable(column.text);
    out += "\n";
    const ScriptList& list = form.lvwMain();
    for (int position = 1; position <= list.Count(); ++position) {
        const ListRow& row = list.Row(position);
        if (position == list.Selected()) out += "*";
        out += "\t" + Printable(row.text) + "\t" + Printable(row.description) + "\t" +
               Printable(row.driver) + "\n";
    }
    out += Printable(form.Label1()) + "\n";
    return out;
}

}  // namespace vendaro

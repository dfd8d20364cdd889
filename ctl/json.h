#pragma once
// A JSON writer for vendaroctl's one document per run: objects, arrays, strings, numbers and
// booleans, two-space indentation. Text is 8-bit: valid UTF-8 passes as it is, any other byte
// is read as Windows-1252 (the code page the scripts are written in) and escaped.
#include <string>
#include <string_view>
#include <vector>

namespace vendaro::ctl {

class JsonWriter {
  public:
    void BeginObject(std::string_view key = {}) { Open(key, '{'); }
    void EndObject() { Close('}'); }
    void BeginArray(std::string_view key = {}) { Open(key, '['); }
    void EndArray() { Close(']'); }
    void String(std::string_view key, std::string_view value);
    void Number(std::string_view key, long long value);
    void Bool(std::string_view key, bool value);
    void Null(std::string_view key);

    // The document, ending with a line end.
    std::string Text() const { return out_ + "\n"; }

  private:
    void Open(std::string_view key, char bracket);
    void Close(char bracket);
    // A comma, a line end and the indentation before the next member; its key when given.
    void Member(std::string_view key);

    std::string out_;
    std::vector<bool> has_members_;
};

// `text` as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

}  // namespace vendaro::ctl

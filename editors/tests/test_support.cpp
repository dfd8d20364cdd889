#include "editors/tests/test_support.h"

#include <doctest/doctest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "editors/form4.h"
#include "editors/form5.h"
#include "editors/form6.h"
#include "editors/form7.h"
#include "editors/form8.h"

namespace vendaro::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path dir =
            fs::temp_directory_path() / ("vendaro-editors-" + std::to_string(random()) + "-" +
                                         std::to_string(stamp) + "-" + std::to_string(++counter));
        std::error_code error;
        if (fs::create_directory(dir, error)) {
            path_ = dir.string();
            return;
        }
    }
    FAIL("cannot create a scratch directory");
}

ScratchDir::~ScratchDir() {
    std::error_code error;
    fs::remove_all(path_, error);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    REQUIRE(out.good());
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : bytes) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

KeyLines SectionLines(const std::string& bytes, const std::string& section) {
    KeyLines keys;
    bool inside = false;
    for (const std::string& line : Lines(bytes)) {
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        if (inside && !line.empty()) keys.push_back(line);
    }
    return keys;
}

std::vector<std::string> Headers(const std::string& bytes) {
    std::vector<std::string> headers;
    for (const std::string& line : Lines(bytes)) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            headers.push_back(line.substr(1, line.size() - 2));
        }
    }
    return headers;
}

namespace {

template <typename Form>
void RunStory(const std::function<void(Form&)>& story, Form& form) {
    if (story) story(form);
    if (!form.closed()) form.Form_Unload();
}

}  // namespace

void ScriptedWindows::Show(Form4& editor) {
    shown.push_back("Form4");
    RunStory(form4, editor);
}
void ScriptedWindows::Show(Form5& editor) {
    shown.push_back("Form5");
    RunStory(form5, editor);
}
void ScriptedWindows::Show(Form6& editor) {
    shown.push_back("Form6");
    RunStory(form6, editor);
}
void ScriptedWindows::Show(Form7& dialog) {
    shown.push_back("Form7");
    RunStory(form7, dialog);
}
void ScriptedWindows::Show(Form8& editor) {
    shown.push_back("Form8");
    RunStory(form8, editor);
}

void EditorFixture::AddMode() {
    shared.ScriptMode = kScriptModeAdd;
    shared.ScriptSaved = false;
}

int EditorFixture::EditMode(const std::string& name, const std::string& description,
                            const std::string& driver) {
    int position = list.Add(ListRow{name, description, driver});
    list.Select(position);
    shared.ScriptMode = kScriptModeEdit;
    shared.EditDsnName = name;
    shared.EditRowIndex = static_cast<std::int16_t>(position);
    return position;
}

std::vector<std::string> EditorFixture::MessageBoxes() const {
    std::vector<std::string> boxes;
    for (const std::string& call : recording.calls) {
        if (call.rfind("MessageBox ", 0) == 0) boxes.push_back(call);
    }
    return boxes;
}

std::vector<std::string> EditorFixture::ProfileWrites() const {
    std::vector<std::string> writes;
    for (const std::string& call : recording.calls) {
        if (call.rfind("Profile", 0) == 0) writes.push_back(call);
    }
    return writes;
}

std::string QuestionLine(const std::string& text) {
    return "MessageBox Vendaro!|" + text + "|YesNo|Question|1";
}

std::string RefusalLine(const std::string& text) {
    return "MessageBox Vendaro!|" + text + "|Ok|Exclamation|1";
}

}  // namespace vendaro::test

#pragma once
// The editors' tests run every editor over a real vendaro.ini in a scratch directory, through
// the real script store, with the recording platform answering the dialogs.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editors/editor_context.h"
#include "editors/editor_windows.h"
#include "platform/native_profile.h"
#include "testing/recording_platform.h"
#include "platform/tests/test_profile.h"

namespace vendaro::test {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// A fresh, empty directory, removed with everything in it at the end of the test.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + kSeparator + name; }

  private:
    std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes; "<missing>" when it cannot be opened.
std::string ReadBytes(const std::string& path);

using KeyLines = std::vector<std::string>;  // "key=value", in file order

// The key lines of `section` (matched exactly) in `bytes`, without their line ends.
KeyLines SectionLines(const std::string& bytes, const std::string& section);
// The headers of `bytes`, in file order, without brackets.
std::vector<std::string> Headers(const std::string& bytes);

// The editor windows of the tests: each Show runs the story given for that form, then, if the
// story left the dialog open, closes it with the close box (as a user finally would).
class ScriptedWindows final : public EditorWindows {
  public:
    std::function<void(Form4&)> form4;
    std::function<void(Form5&)> form5;
    std::function<void(Form6&)> form6;
    std::function<void(Form7&)> form7;
    std::function<void(Form8&)> form8;
    std::vector<std::string> shown;  // "Form4", ... in the order shown

    void Show(Form4& editor) override;
    void Show(Form5& editor) override;
    void Show(Form6& editor) override;
    void Show(Form7& dialog) override;
    void Show(Form8& editor) override;
};

// A status line that is just a string.
class TextStatusLine final : public StatusLine {
  public:
    void SetStatusText(const std::string& text) override { this->text = text; }
    std::string text;
};

struct EditorFixture {
    ScratchDir dir;
    TestProfile native;  // the platform's own profile functions
    Profile* real = native.get();
    RecordingPlatform recording{*real};
    ScriptStore store{recording.profile(), dir.path(), "vendaro.exe", kSeparator};
    Platform platform = recording.AsPlatform();
    Module1 shared;
    ScriptList list;
    TextStatusLine status;
    ScriptedWindows windows;
    EditorContext context{store, platform, shared, list, status};
    std::string ini = dir.File("vendaro.ini");

    void Given(const std::string& bytes) const { WriteBytes(ini, bytes); }
    std::string Bytes() const { return ReadBytes(ini); }
    std::string Read(const std::string& section, const std::string& key) {
        return store.ReadIniString(section, key, "");
    }
    KeyLines Section(const std::string& section) const { return SectionLines(Bytes(), section); }

    // Add mode, as the Select Driver dialog leaves it.
    void AddMode();
    // Edit mode on a new row (name, description, driver) of the list, selected, as Edit
    // leaves it. Returns the row's position.
    int EditMode(const std::string& name, const std::string& description,
                 const std::string& driver);
    // The message boxes shown so far, as the recording platform wrote them.
    std::vector<std::string> MessageBoxes() const;
    // Every profile write or removal made so far.
    std::vector<std::string> ProfileWrites() const;
};

// The recorded line of a message box.
std::string QuestionLine(const std::string& text);
std::string RefusalLine(const std::string& text);

}  // namespace vendaro::test

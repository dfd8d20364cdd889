#pragma once
// What a script editor works with: the script file, the platform, the shared fields, and the
// main window's list and status line.
#include <functional>
#include <string>
#include <utility>

#include "forms/module1.h"
#include "forms/script_list.h"
#include "platform/platform.h"
#include "store/script_store.h"

namespace vendaro {

// The main window's one-line status line, as the editors write it.
class StatusLine {
  public:
    virtual ~StatusLine() = default;
    virtual void SetStatusText(const std::string& text) = 0;
};

// A status line that is just a string (tests, and views that keep the text themselves).
class TextStatusLine final : public StatusLine {
  public:
    void SetStatusText(const std::string& text) override { this->text = text; }
    std::string text;
};

// A status line that forwards the text (to the main window's model, for example).
class CallbackStatusLine final : public StatusLine {
  public:
    explicit CallbackStatusLine(std::function<void(const std::string&)> set)
        : set_(std::move(set)) {}
    void SetStatusText(const std::string& text) override {
        if (set_) set_(text);
    }

  private:
    std::function<void(const std::string&)> set_;
};

struct EditorContext {
    ScriptStore& store;
    Platform& platform;
    Module1& module1;
    ScriptList& lvwMain;
    StatusLine& status_line;
    // The editor's own window once the view has created it; the owner of its choosers and
    // message boxes. 0 before that.
    WindowHandle window = 0;
};

}  // namespace vendaro

#pragma once
// The main window's one-line status line, as the editors write it.
#include <string>

namespace vendaro {

class StatusLine {
  public:
    virtual ~StatusLine() = default;
    virtual void SetStatusText(const std::string& text) = 0;
};

}  // namespace vendaro

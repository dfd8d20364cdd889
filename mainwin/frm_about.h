#pragma once
// The about box: the program's name, its version and what it is for.
#include <string>

#include "forms/controls.h"
#include "vendaro_version.h"

namespace vendaro {

inline constexpr const char* kProductName = "Vendaro!";
inline constexpr const char* kProductVersion = VENDARO_VERSION;

class FrmAbout {
  public:
    const std::string& Caption() const { return caption_; }
    const std::string& ProductName() const { return product_; }
    const std::string& VersionText() const { return version_; }
    const std::string& Description() const { return description_; }
    const Button& Command1() const { return ok_; }
    static constexpr int kClientWidth = 4680;
    static constexpr int kClientHeight = 2175;
    static constexpr Twips kProductPosition{240, 240, 4200, 375};
    static constexpr Twips kVersionPosition{240, 660, 4200, 255};
    static constexpr Twips kDescriptionPosition{240, 1020, 4200, 495};

    // "OK" closes the box.
    void Command1_Click() { closed_ = true; }
    // Escape closes the box. Returns true when the key was used.
    bool Form_KeyDown(int key_code, int shift);
    void Close() { closed_ = true; }
    bool Closed() const { return closed_; }

  private:
    std::string caption_ = std::string("About ") + kProductName;
    std::string product_ = kProductName;
    std::string version_ = std::string("Version ") + kProductVersion;
    std::string description_ = "Creates ODBC data sources from saved DSN scripts.";
    Button ok_{.caption = "OK", .position = {3360, 1620, 1095, 375}};  // Command1
    bool closed_ = false;
};

}  // namespace vendaro

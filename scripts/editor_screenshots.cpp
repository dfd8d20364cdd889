// Pictures of every editor dialog (every page of the Adaptive Server Anywhere editor, the
// short and the long Access and dBase editors, the advanced options), opened on the example
// scripts, and of a new script's editor with its Cancel question and its folder chooser. Runs only
// when VENDARO_SCREENSHOT_DIR names the folder for the bitmaps, on a display
// (scripts/screenshots-editors.sh runs it under Xvfb).
#include <doctest/doctest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editors/tests/win32/dialog_support.h"
#include "platform/win32/win32_handles.h"

namespace vendaro::win32::testing {
namespace {

std::string ScreenshotDir() {
    const char* dir = std::getenv("VENDARO_SCREENSHOT_DIR");
    return dir != nullptr ? dir : "";
}

// Writes what the screen shows of `window` (its frame included) as a 24-bit bitmap file.
bool SaveWindowBitmap(HWND window, const std::string& path) {
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    ScreenDC screen;
    HDC memory = CreateCompatibleDC(screen.get());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as the file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject<HBITMAP> bitmap(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || memory == nullptr) {
        if (memory != nullptr) DeleteDC(memory);
        return false;
    }
    HGDIOBJ old = SelectObject(memory, bitmap.get());
    BitBlt(memory, 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
    DeleteDC(memory);

    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD image_size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + image_size;
    info.bmiHeader.biSizeImage = image_size;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), image_size);
    return static_cast<bool>(out);
}

std::string ExampleScripts() {
    std::ifstream in(VENDARO_SOURCE_DIR "/examples/vendaro.ini", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Steps that let the window `find` returns (the open editor when none is given) settle on
// screen, then picture it as `name`.bmp.
void Picture(DialogFixture& f, const std::string& name, std::vector<std::string>& saved,
             std::function<HWND()> find = nullptr) {
    if (!find) {
        find = [&f]() -> HWND {
            EditorView* view = f.windows.Open();
            return view != nullptr ? view->hwnd() : nullptr;
        };
    }
    auto since = std::make_shared<std::chrono::steady_clock::time_point>();
    f.driver.Then([find, since] {
        HWND window = find();
        if (window == nullptr) return false;
        auto now = std::chrono::steady_clock::now();
        if (*since == std::chrono::steady_clock::time_point{}) {
            *since = now;
            // Drawn afresh now; Wine puts it on the display a moment later.
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        return now - *since > std::chrono::milliseconds(700);
    });
    f.driver.Then([find, name, &saved] {
        HWND window = find();
        if (window == nullptr) return false;
        if (SaveWindowBitmap(window, ScreenshotDir() + "\\" + name + ".bmp")) {
            saved.push_back(name);
        }
        return true;
    });
}

void Close(DialogFixture& f) {
    f.driver.Then([&f] {
        EditorView* view = f.windows.Open();
        if (view == nullptr) return false;
        PostKey(view->hwnd(), VK_ESCAPE);
        return true;
    });
}

}  // namespace

TEST_CASE("screenshots of every editor dialog" * doctest::skip(ScreenshotDir().empty())) {
    std::vector<std::string> saved;

    SUBCASE("SQL Server") {
        DialogFixture f;
        f.Given(ExampleScripts());
        f.EditMode("Sales", "Sales figures of the northern region", "SQL Server");
        f.OnEditor("Edit DSN Script for SQL Server", [](EditorView&) {});
        Picture(f, "form4-sql-server", saved);
        Close(f);
        f.Open("SQL Server");
        CHECK(saved == std::vector<std::string>{"form4-sql-server"});
    }
    SUBCASE("SQL Server in add mode, its Cancel question and its folder chooser") {
        DialogFixture f;
        f.AddMode();
        const char* caption = "Add DSN Script for SQL Server";
        f.OnEditor(caption, [](EditorView&) {});
        Picture(f, "form4-sql-server-add", saved);
        f.OnEditor(caption, [](EditorView& view) { PostClick(view.Control("Command1")); });
        Picture(f, "folder-chooser", saved, [] { return FindDialog(nullptr); });
        f.AnswerFolder(false);
        f.OnEditor(caption, [](EditorView& view) {
            Type(view.Control("Text1"), "Payroll");
            PostClick(view.Control("Command2"));
        });
        Picture(f, "cancel-question", saved, [] { return FindDialog("Vendaro!"); });
        f.AnswerQuestion(IDNO);
        f.Open("SQL Server");
        CHECK(saved == std::vector<std::string>{"form4-sql-server-add", "folder-chooser",
                                                "cancel-question"});
    }
    SUBCASE("Adaptive Server Anywhere, every page") {
        DialogFixture f;
        f.Given(ExampleScripts());
        f.EditMode("Inventory", "Warehouse stock on the local engine",
                   "Adaptive Server Anywhere 6.0");
        const char* pages[] = {"odbc", "login", "database", "network", "advanced"};
        std::vector<std::string> expected;
        for (int page = 0; page < 5; ++page) {
            f.OnEditor("Edit DSN Script for Adaptive Server Anywhere",
                       [page](EditorView& view) { ClickTab(view.Control("SSTab1"), page); });
            const std::string name = std::string("form5-asa-") + pages[page];
            Picture(f, name, saved);
            expected.push_back(name);
        }
        Close(f);
        f.Open("Adaptive Server Anywhere 6.0");
        CHECK(saved == expected);
    }
    SUBCASE("Access, short and long, and its advanced options") {
        DialogFixture f;
        f.Given(ExampleScripts());
        f.EditMode("Orders", "Order entry database", "Microsoft Access Driver (*.mdb)");
        f.OnEditor("Edit DSN Script for Microsoft Access", [](EditorView&) {});
        Picture(f, "form6-access", saved);
        f.OnEditor("Edit DSN Script for Microsoft Access",
                   [](EditorView& view) { Click(view.Control("Command7")); });
        Picture(f, "form6-access-options", saved);
        f.OnEditor("Edit DSN Script for Microsoft Access",
                   [](EditorView& view) { PostClick(view.Control("Command6")); });
        f.OnEditor("Set Advanced Options",
                   [](EditorView& view) { SelectRow(view.Control("List1"), 3); });
        Picture(f, "form7-access-advanced", saved);
        Close(f);
        Close(f);
        f.Open("Microsoft Access Driver (*.mdb)");
        CHECK(saved == std::vector<std::string>{"form6-access", "form6-access-options",
                                                "form7-access-advanced"});
    }
    SUBCASE("dBase, short and long") {
        DialogFixture f;
        f.Given(ExampleScripts());
        f.EditMode("Customers", "Customer files from the old system",
                   "Microsoft dBase Driver (*.dbf)");
        f.OnEditor("Edit DSN Script for dBase", [](EditorView&) {});
        Picture(f, "form8-dbase", saved);
        f.OnEditor("Edit DSN Script for dBase",
                   [](EditorView& view) { Click(view.Control("Command3")); });
        Picture(f, "form8-dbase-options", saved);
        Close(f);
        f.Open("Microsoft dBase Driver (*.dbf)");
        CHECK(saved == std::vector<std::string>{"form8-dbase", "form8-dbase-options"});
    }
}

}  // namespace vendaro::win32::testing

// Pictures of every editor dialog (every page of the Adaptive Server Anywhere editor, the short
// and the long Access and dBase editors, the advanced options), opened on the example scripts,
// and of a new script's editor with its Cancel question and its folder chooser, written as
// bitmaps to the folder given. Not a test: scripts/screenshots.sh builds and runs it on
// a virtual display.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "editors/script_editor_launcher.h"
#include "editors/win32/editor_dialogs.h"
#include "platform/native_profile.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_installer.h"
#include "platform/win32/win32_registry.h"
#include "testing/win32/win32_kit.h"

namespace vendaro::win32 {
namespace {

using testing::ModalDriver;

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

struct NoStatus final : StatusLine {
    void SetStatusText(const std::string&) override {}
};

// One editor opened over the example scripts (or for a new script), driven by queued steps.
class Session {
  public:
    Session(const std::string& folder, const std::string& examples) : folder_(folder) {
        std::ofstream(dir_ / "vendaro.ini", std::ios::binary) << examples;
        launcher_.AttachMainWindow(list_, status_);
    }
    ~Session() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    // Edit mode on the script `name`, as Edit leaves it; add mode when `name` is empty.
    void Select(const std::string& name, const std::string& description,
                const std::string& driver) {
        shared_.ScriptMode = name.empty() ? kScriptModeAdd : kScriptModeEdit;
        if (name.empty()) return;
        const int position = list_.Add(ListRow{name, description, driver});
        list_.Select(position);
        shared_.EditDsnName = name;
        shared_.EditRowIndex = static_cast<std::int16_t>(position);
    }
    // Runs `act` on the editor open now.
    void OnEditor(std::function<void(EditorView&)> act) {
        driver_.Then([this, act] {
            EditorView* view = windows_.Open();
            if (view == nullptr || !IsWindowEnabled(view->hwnd())) return false;
            act(*view);
            return true;
        });
    }
    // Lets the window `find` gives (the open editor when none) settle on screen, then pictures
    // it as `name`.bmp.
    void Picture(const std::string& name, std::function<HWND()> find = nullptr) {
        if (!find) find = [this] { return windows_.Open() ? windows_.Open()->hwnd() : HWND{}; };
        auto since = std::make_shared<std::chrono::steady_clock::time_point>();
        driver_.Then([find, since] {
            HWND window = find();
            if (window == nullptr) return false;
            const auto now = std::chrono::steady_clock::now();
            if (*since == std::chrono::steady_clock::time_point{}) {
                *since = now;
                // Drawn afresh now; Wine puts it on the display a moment later.
                RedrawWindow(
                    window, nullptr, nullptr,
                    RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            }
            return now - *since > std::chrono::milliseconds(700);
        });
        driver_.Then([this, find, name] {
            HWND window = find();
            if (window == nullptr) return false;
            if (SaveWindowBitmap(window, folder_ + "\\" + name + ".bmp")) saved_.push_back(name);
            return true;
        });
    }
    void Then(ModalDriver::Step step) { driver_.Then(std::move(step)); }
    void Close() {
        OnEditor([](EditorView& view) { PostMessageA(view.hwnd(), WM_KEYDOWN, VK_ESCAPE, 1); });
    }
    // Opens the editor of `driver`; true when every step ran.
    bool Run(const std::string& driver) { return launcher_.OpenEditor(driver) && driver_.Ok(); }
    const std::vector<std::string>& saved() const { return saved_; }

  private:
    std::string folder_;
    std::filesystem::path dir_ = std::filesystem::temp_directory_path() /
                                 ("vendaro-shots-" + std::to_string(GetCurrentProcessId()));
    bool made_ = std::filesystem::create_directories(dir_);
    std::unique_ptr<Profile> profile_ = MakeNativeProfile();
    Win32Registry registry_;
    Win32Installer installer_;
    Win32Dialogs dialogs_;
    Platform platform_{*profile_, registry_, installer_, dialogs_};
    ScriptStore store_{*profile_, dir_.string(), "vendaro.exe", '\\'};
    Module1 shared_;
    ScriptList list_;
    NoStatus status_;
    EditorDialogs windows_{[] { return HWND{}; }};
    ScriptEditorLauncher launcher_{store_, platform_, shared_, windows_};
    ModalDriver driver_;
    std::vector<std::string> saved_;
};

int Run(const std::string& folder, const std::string& examples) {
    int pictures = 0;
    bool ok = true;
    const auto shoot = [&](Session& session, const std::string& driver) {
        ok = session.Run(driver) && ok;
        pictures += static_cast<int>(session.saved().size());
    };
    {
        Session s(folder, examples);
        s.Select("Sales", "Sales figures of the northern region", "SQL Server");
        s.Picture("form4-sql-server");
        s.Close();
        shoot(s, "SQL Server");
    }
    {
        Session s(folder, examples);
        s.Select("", "", "");
        s.Picture("form4-sql-server-add");
        s.OnEditor(
            [](EditorView& view) { PostMessageA(view.Control("Command1"), BM_CLICK, 0, 0); });
        s.Picture("folder-chooser", [] { return testing::FindDialog(nullptr); });
        s.Then(testing::Answer(nullptr, IDCANCEL));
        s.OnEditor([](EditorView& view) {
            testing::Type(view.Control("Text1"), "Payroll");
            PostMessageA(view.Control("Command2"), BM_CLICK, 0, 0);
        });
        s.Picture("cancel-question", [] { return testing::FindDialog("Vendaro!"); });
        s.Then(testing::Answer("Vendaro!", IDNO));
        shoot(s, "SQL Server");
    }
    {
        Session s(folder, examples);
        s.Select("Inventory", "Warehouse stock on the local engine",
                 "Adaptive Server Anywhere 6.0");
        const char* pages[] = {"odbc", "login", "database", "network", "advanced"};
        for (int page = 0; page < 5; ++page) {
            s.OnEditor([page](EditorView& view) { testing::Pick(view.Control("SSTab1"), page); });
            s.Picture(std::string("form5-asa-") + pages[page]);
        }
        s.Close();
        shoot(s, "Adaptive Server Anywhere 6.0");
    }
    {
        Session s(folder, examples);
        s.Select("Orders", "Order entry database", "Microsoft Access Driver (*.mdb)");
        s.Picture("form6-access");
        s.OnEditor([](EditorView& view) { testing::Click(view.Control("Command7")); });
        s.Picture("form6-access-options");
        s.OnEditor(
            [](EditorView& view) { PostMessageA(view.Control("Command6"), BM_CLICK, 0, 0); });
        s.OnEditor([](EditorView& view) { testing::Pick(view.Control("List1"), 3); });
        s.Picture("form7-access-advanced");
        s.Close();
        s.Close();
        shoot(s, "Microsoft Access Driver (*.mdb)");
    }
    {
        Session s(folder, examples);
        s.Select("Customers", "Customer files from the old system",
                 "Microsoft dBase Driver (*.dbf)");
        s.Picture("form8-dbase");
        s.OnEditor([](EditorView& view) { testing::Click(view.Control("Command3")); });
        s.Picture("form8-dbase-options");
        s.Close();
        shoot(s, "Microsoft dBase Driver (*.dbf)");
    }
    return ok && pictures == 14 ? 0 : 1;
}

}  // namespace
}  // namespace vendaro::win32

// editor_screenshots FOLDER EXAMPLES.INI: exit status 0 when all 14 pictures were written.
int main(int argc, char** argv) {
    if (argc != 3) return 2;
    std::ifstream in(argv[2], std::ios::binary);
    const std::string examples((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    return vendaro::win32::Run(argv[1], examples);
}

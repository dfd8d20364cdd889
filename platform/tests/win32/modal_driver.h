#pragma once
// Drives modal windows from inside a test: steps queued here run from a thread timer while a
// modal loop (message box, input box, dialog) waits, one step per window that appears. A step
// that finds nothing to act on within its time is recorded as a failure and the open modal
// window of this thread is closed, so a broken test ends instead of hanging.
#include "platform/win32/windows_api.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vendaro::win32::testing {

// Returns true when it found its window and acted on it; false to be tried at the next tick.
using ModalStep = std::function<bool()>;

class ModalDriver {
  public:
    ModalDriver() {
        Instance() = this;
        timer_ = SetTimer(nullptr, 0, 30, &ModalDriver::TimerProc);
    }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;
    ~ModalDriver() {
        if (timer_ != 0) KillTimer(nullptr, timer_);
        Instance() = nullptr;
    }

    void Then(ModalStep step) { steps_.push_back(std::move(step)); }
    bool Done() const { return steps_.empty(); }
    // Descriptions of the steps that timed out.
    const std::vector<std::string>& Failures() const { return failures_; }

  private:
    static ModalDriver*& Instance() {
        static ModalDriver* instance = nullptr;
        return instance;
    }

    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD) {
        ModalDriver* self = Instance();
        if (self == nullptr || self->busy_) return;
        self->busy_ = true;
        try {
            self->Tick();
        } catch (...) {
            // A step that throws counts as failed; nothing crosses into the modal loop.
            self->failures_.push_back("a modal step threw");
            if (!self->steps_.empty()) self->steps_.pop_front();
        }
        self->busy_ = false;
    }

    void Tick() {
        auto now = std::chrono::steady_clock::now();
        if (steps_.empty()) {
            started_ = now;
            return;
        }
        if (started_ == std::chrono::steady_clock::time_point{}) started_ = now;
        ModalStep step = steps_.front();
        if (step()) {
            steps_.pop_front();
            started_ = now;
            return;
        }
        // Generous: the shell's dialogs can take seconds to fill on a loaded machine.
        if (now - started_ > std::chrono::seconds(30)) {
            failures_.push_back("a modal step found nothing to act on");
            steps_.pop_front();
            started_ = now;
            CloseTopModal();
        }
    }

    static BOOL CALLBACK CloseDialogProc(HWND window, LPARAM) {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (IsWindowVisible(window) && std::string(name) == "#32770") {
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
        return TRUE;
    }
    static void CloseTopModal() { EnumThreadWindows(GetCurrentThreadId(), CloseDialogProc, 0); }

    std::deque<ModalStep> steps_;
    std::vector<std::string> failures_;
    std::chrono::steady_clock::time_point started_{};
    UINT_PTR timer_ = 0;
    bool busy_ = false;
};

struct FoundWindow {
    const char* class_name;
    const char* title;
    HWND window;
};

inline BOOL CALLBACK FindThreadWindowProc(HWND window, LPARAM data) {
    auto* wanted = reinterpret_cast<FoundWindow*>(data);
    char name[64] = {};
    char text[512] = {};
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, text, sizeof text);
    if (IsWindowVisible(window) && std::string(name) == wanted->class_name &&
        (wanted->title == nullptr || std::string(text) == wanted->title)) {
        wanted->window = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of this thread with that class and caption (any caption when
// `title` is null); nullptr when there is none.
inline HWND FindThreadWindow(const char* class_name, const char* title) {
    FoundWindow wanted{class_name, title, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindThreadWindowProc,
                      reinterpret_cast<LPARAM>(&wanted));
    return wanted.window;
}

// A dialog-class window ("#32770") with that caption.
inline HWND FindDialog(const char* title) {
    return FindThreadWindow("#32770", title);
}

inline std::string TextOf(HWND window) {
    char text[1024] = {};
    if (window != nullptr) GetWindowTextA(window, text, sizeof text);
    return text;
}

struct ChildSearch {
    std::string text;
    HWND found;
};

inline BOOL CALLBACK FindChildByTextProc(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    if (TextOf(window) == search->text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The first child window of `parent` whose text is exactly `text`.
inline HWND FindChildByText(HWND parent, const std::string& text) {
    ChildSearch search{text, nullptr};
    EnumChildWindows(parent, FindChildByTextProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What a user's click on the button `id` of `dialog` sends.
inline void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Pumps this thread's messages until `done` holds or `timeout` passes; returns `done()`.
template <typename Predicate>
bool PumpUntil(Predicate done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
    return true;
}

}  // namespace vendaro::win32::testing

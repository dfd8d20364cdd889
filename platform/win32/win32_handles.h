#pragma once
// Move-only owners of Win32 handles, one small class per API area. Each closes its handle with
// the matching API when it goes out of scope, unless the handle was released first.
#include "platform/win32/windows_api.h"

#include <utility>

namespace vendaro::win32 {

// An open registry key (RegCloseKey).
class RegKey {
  public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept {
        if (this != &other) Attach(std::exchange(other.key_, nullptr));
        return *this;
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { Close(); }

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    HKEY* Receive() {
        Close();
        return &key_;
    }
    void Attach(HKEY key) {
        Close();
        key_ = key;
    }
    // Returns RegCloseKey's code; ERROR_INVALID_HANDLE when nothing was open.
    LONG Close() {
        if (key_ == nullptr) return ERROR_INVALID_HANDLE;
        return RegCloseKey(std::exchange(key_, nullptr));
    }

  private:
    HKEY key_ = nullptr;
};

// A window this program created (DestroyWindow).
class Window {
  public:
    Window() = default;
    explicit Window(HWND window) : window_(window) {}
    Window(Window&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}
    Window& operator=(Window&& other) noexcept {
        if (this != &other) Attach(std::exchange(other.window_, nullptr));
        return *this;
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window() { Destroy(); }

    HWND get() const { return window_; }
    explicit operator bool() const { return window_ != nullptr; }
    void Attach(HWND window) {
        Destroy();
        window_ = window;
    }
    // Forgets the window without destroying it (it has been destroyed by the system).
    HWND Release() { return std::exchange(window_, nullptr); }
    void Destroy() {
        if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
        window_ = nullptr;
    }

  private:
    HWND window_ = nullptr;
};

// A GDI object this program created: font, brush, pen, bitmap (DeleteObject).
template <typename Handle>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle object) : object_(object) {}
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) Attach(std::exchange(other.object_, nullptr));
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Attach(nullptr); }

    Handle get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void Attach(Handle object) {
        if (object_ != nullptr) DeleteObject(object_);
        object_ = object;
    }

  private:
    Handle object_ = nullptr;
};

using Font = GdiObject<HFONT>;

// A screen device context borrowed with GetDC (ReleaseDC).
class ScreenDC {
  public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    ~ScreenDC() {
        if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

// Memory the shell allocated for us: an item-identifier list (CoTaskMemFree).
template <typename T>
class TaskMem {
  public:
    explicit TaskMem(T* memory) : memory_(memory) {}
    TaskMem(const TaskMem&) = delete;
    TaskMem& operator=(const TaskMem&) = delete;
    ~TaskMem() {
        if (memory_ != nullptr) CoTaskMemFree(memory_);
    }
    T* get() const { return memory_; }

  private:
    T* memory_;
};

// A kernel object's handle: a process, a thread, a file, a mutex (CloseHandle).
class KernelHandle {
  public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) : handle_(handle) {}
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    ~KernelHandle() {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_ = nullptr;
};

}  // namespace vendaro::win32

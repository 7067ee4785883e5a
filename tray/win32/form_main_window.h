#pragma once
// frmMain in Win32 terms: a hidden top-level window (picTrayicon) that owns the tray icon, and
// the four picture icons at the system's small-icon size.
#include <windows.h>

#include <array>
#include <functional>

#include "system/win32/unique_handle.h"
#include "tray/tray.h"

namespace tunlatch::win32 {

struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DestroyIcon(h); }
};

struct WindowTraits {
    using Type = HWND;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DestroyWindow(h); }
};

using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;

// The icon's callback message: the mouse-move message, which the form ignores.
inline constexpr UINT kTrayCallbackMessage = 0x200;

class FormMainWindow {
public:
    // instance is the module whose resources hold the pictures. onTaskbarCreated runs when a
    // (restarted) shell announces its taskbar, on the thread that created the window.
    FormMainWindow(HINSTANCE instance, std::function<void()> onTaskbarCreated);
    ~FormMainWindow();
    FormMainWindow(const FormMainWindow&) = delete;
    FormMainWindow& operator=(const FormMainWindow&) = delete;

    // Null when the window could not be created (for instance without a desktop).
    HWND picTrayicon() const { return window_.get(); }
    HICON Picture(TrayPicture picture) const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    UINT taskbarCreated_;
    std::function<void()> onTaskbarCreated_;
    std::array<UniqueIcon, 4> pictures_;  // picGrey, picRed, picGreen_Red, picGreen
    UniqueWindow window_;                 // declared last: it goes before the icons it shows
};

}  // namespace tunlatch::win32

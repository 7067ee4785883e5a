#pragma once
// frmMain in Win32 terms: a hidden top-level window (picTrayicon) that owns the tray icon, and
// the four picture icons at the system's small-icon size.
#include <windows.h>

#include <array>
#include <functional>

#include "system/win32/unique_handle.h"
#include "system/tray.h"

namespace tunlatch::win32 {

using UniqueIcon = UniqueHandle<NullIsInvalidTraits<HICON, &::DestroyIcon>>;
using UniqueWindow = UniqueHandle<NullIsInvalidTraits<HWND, &::DestroyWindow>>;

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

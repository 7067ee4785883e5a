#pragma once
// The hidden top-level window that owns the tray icon, with the four pictures at the system's
// small-icon size. It lives only while the icon is shown.
#include <windows.h>

#include <array>
#include <functional>
#include <memory>

#include "system/tray.h"
#include "system/win32/unique_handle.h"

namespace tunlatch::win32 {

// The icon's callback message: the mouse-move message, which the window ignores (the icon
// offers no interaction).
inline constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;

class TrayWindow {
public:
    // instance is the module whose resources hold the pictures. onTaskbarCreated runs when a
    // (restarted) shell announces its taskbar, on the thread that created the window. Null
    // when the window cannot be created.
    static std::unique_ptr<TrayWindow> Create(HINSTANCE instance,
                                              std::function<void()> onTaskbarCreated);
    ~TrayWindow();
    TrayWindow(const TrayWindow&) = delete;
    TrayWindow& operator=(const TrayWindow&) = delete;

    HWND Handle() const noexcept { return window_.get(); }
    HICON Picture(TrayPicture picture) const noexcept;

private:
    TrayWindow(HINSTANCE instance, std::function<void()> onTaskbarCreated);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    UINT taskbarCreated_;
    std::function<void()> onTaskbarCreated_;
    std::array<UniqueIcon, 4> pictures_;  // in the order of TrayPicture
    UniqueWindow window_;                 // declared last: it goes before the icons it shows
};

}  // namespace tunlatch::win32

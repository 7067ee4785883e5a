#pragma once
// The tray over Shell_NotifyIconA. The hidden window that owns the icon exists only from adding
// the icon to deleting it: creating a window is slow enough to matter when no icon is wanted.
#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>

#include "system/tray.h"
#include "system/win32/tray_window.h"

namespace tunlatch::win32 {

// The ANSI record with the balloon fields; on 64-bit Windows its pointers make it larger.
inline constexpr DWORD kNotifyRecordSize = NOTIFYICONDATAA_V2_SIZE;
#ifndef _WIN64
static_assert(kNotifyRecordSize == 488);
#endif

class Win32Tray final : public Tray {
public:
    // instance is the module whose resources hold the pictures (the program itself).
    explicit Win32Tray(HINSTANCE instance) noexcept : instance_(instance) {}
    // An icon whose owner is gone would linger in the shell until the mouse passes over it.
    ~Win32Tray() override { DeleteIcon(); }
    Win32Tray(const Win32Tray&) = delete;
    Win32Tray& operator=(const Win32Tray&) = delete;

    bool AddIcon(TrayPicture picture, const std::string& tip) override;
    bool ChangePicture(TrayPicture picture) override;
    bool ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind) override;
    bool DeleteIcon() override;

    // The window the shell knows the icon by while it is added, else null.
    HWND OwnerWindow() const noexcept { return window_ ? window_->Handle() : nullptr; }

private:
    NOTIFYICONDATAA Record(UINT flags) const noexcept;
    bool Add() noexcept;

    HINSTANCE instance_;
    // What a restarted shell is given again.
    TrayPicture picture_ = TrayPicture::Grey;
    std::string tip_;
    std::unique_ptr<TrayWindow> window_;
};

}  // namespace tunlatch::win32

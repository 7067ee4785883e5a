#pragma once
// modTrayIcon over Shell_NotifyIconA, with the hidden form that owns the icon.
#include <windows.h>

#include <shellapi.h>

#include <memory>

#include "system/tray.h"
#include "system/win32/form_main_window.h"

namespace tunlatch::win32 {

// The ANSI record with the balloon fields; on 64-bit Windows its pointers make it larger.
inline constexpr DWORD kNotifyRecordSize = NOTIFYICONDATAA_V2_SIZE;
#ifndef _WIN64
static_assert(kNotifyRecordSize == 488);
#endif

class Win32Tray final : public Tray {
public:
    // instance is the module whose resources hold the pictures (the program itself).
    explicit Win32Tray(HINSTANCE instance) : instance_(instance) {}
    ~Win32Tray() override { Unload(); }
    Win32Tray(const Win32Tray&) = delete;
    Win32Tray& operator=(const Win32Tray&) = delete;

    void Load() override;
    void Unload() override;
    bool TrayIconShow(bool show, std::optional<TrayPicture> icon, const std::string& tip) override;
    bool TrayIconModify(std::optional<TrayPicture> icon, std::optional<std::string> tip) override;
    bool TrayBalloon(const std::string& title, const std::string& text, std::int32_t flags,
                     std::int32_t timeout) override;

    // picTrayicon while the form is loaded, else null; the icon is known to the shell by it.
    HWND OwnerWindow() const { return form_ ? form_->picTrayicon() : nullptr; }

private:
    void SetOwner();
    bool Notify(DWORD message);
    void AddAgain();

    HINSTANCE instance_;
    // One record for the object's life: each call overwrites only its own fields.
    NOTIFYICONDATAA record_{};
    bool shown_ = false;
    std::unique_ptr<FormMainWindow> form_;
};

}  // namespace tunlatch::win32

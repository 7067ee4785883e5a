#include "system/win32/tray_window.h"

#include <cstddef>
#include <utility>

#include "system/win32/tray_resources.h"

namespace tunlatch::win32 {
namespace {

constexpr const char* kClassName = "TunlatchTrayWindow";

constexpr std::array<int, 4> kPictureIds = {IDI_TRAY_GREY, IDI_TRAY_RED, IDI_TRAY_GREEN_RED,
                                            IDI_TRAY_GREEN};

std::size_t IndexOf(TrayPicture picture) noexcept {
    switch (picture) {
        case TrayPicture::Grey:
            return 0;
        case TrayPicture::Red:
            return 1;
        case TrayPicture::GreenRed:
            return 2;
        case TrayPicture::Green:
            return 3;
    }
    return 0;
}

}  // namespace

std::unique_ptr<TrayWindow> TrayWindow::Create(HINSTANCE instance,
                                               std::function<void()> onTaskbarCreated) {
    std::unique_ptr<TrayWindow> window(new TrayWindow(instance, std::move(onTaskbarCreated)));
    if (!window->window_) return nullptr;
    return window;
}

TrayWindow::TrayWindow(HINSTANCE instance, std::function<void()> onTaskbarCreated)
    : instance_(instance),
      taskbarCreated_(::RegisterWindowMessageA("TaskbarCreated")),
      onTaskbarCreated_(std::move(onTaskbarCreated)) {
    // The small-icon size follows the display scaling, so the matching frame is drawn 1:1.
    const int cx = ::GetSystemMetrics(SM_CXSMICON);
    const int cy = ::GetSystemMetrics(SM_CYSMICON);
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        pictures_[i].reset(static_cast<HICON>(::LoadImageA(
            instance_, MAKEINTRESOURCEA(kPictureIds[i]), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR)));
    }

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &TrayWindow::WindowProc;
    windowClass.hInstance = instance_;
    windowClass.lpszClassName = kClassName;
    // A second window in the same process (tests) finds the class already there, which is fine.
    ::RegisterClassExA(&windowClass);

    // Top-level rather than message-only: only top-level windows hear the shell's broadcast.
    window_.reset(::CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "Tunlatch", WS_POPUP, 0, 0, 0, 0,
                                    nullptr, nullptr, instance_, this));
    // The program runs elevated; without this the non-elevated shell's broadcast is filtered.
    if (window_ && taskbarCreated_ != 0)
        ::ChangeWindowMessageFilterEx(window_.get(), taskbarCreated_, MSGFLT_ALLOW, nullptr);
}

TrayWindow::~TrayWindow() {
    window_.reset();
    // Fails harmlessly while another window of the class still exists.
    ::UnregisterClassA(kClassName, instance_);
}

HICON TrayWindow::Picture(TrayPicture picture) const noexcept {
    return pictures_[IndexOf(picture)].get();
}

LRESULT CALLBACK TrayWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TrayWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr) {
        if (message == kTrayCallbackMessage) return 0;
        if (message == self->taskbarCreated_ && self->taskbarCreated_ != 0) {
            if (self->onTaskbarCreated_) self->onTaskbarCreated_();
            return 0;
        }
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace tunlatch::win32

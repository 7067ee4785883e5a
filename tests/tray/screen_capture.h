#pragma once
// Pictures of what the display shows, taken from inside a Windows test, and saved as BMP files
// under the build tree so that a person can look at them.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/tray/tray_colours.h"

namespace tunlatch::testing {

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first

    // Pixels within a few steps of the colour on every channel.
    int Count(Rgb colour) const;
    // Writes NAME.bmp into the folder named by TUNLATCH_SCREENSHOTS (a Linux path, reached
    // through Wine's Z: drive); does nothing without it.
    void Save(const std::string& name) const;
};

// The screen area inside rect.
Capture CaptureScreen(const RECT& rect);

// The client area of the window in which Wine shows the notification area when it has no
// taskbar, in screen coordinates; empty when there is none.
RECT WineSystemTrayRect();

}  // namespace tunlatch::testing

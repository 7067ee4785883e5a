#include "tests/tray/screen_capture.h"

#include <cstdlib>
#include <fstream>

#include "system/win32/unique_handle.h"

namespace tunlatch::testing {
namespace {

using win32::NullIsInvalidTraits;
using win32::UniqueHandle;

constexpr int kTolerance = 6;

struct ScreenDcTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::ReleaseDC(nullptr, h); }
};
struct MemoryDcTraits : ScreenDcTraits {
    static void Close(Type h) { ::DeleteDC(h); }
};

bool Near(int a, int b) {
    return a - b <= kTolerance && b - a <= kTolerance;
}

template <typename T>
void Put(std::ofstream& out, const T& value) {
    out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

int Capture::Count(Rgb colour) const {
    int count = 0;
    for (std::uint32_t p : pixels) {
        if (Near((p >> 16) & 0xFF, colour.r) && Near((p >> 8) & 0xFF, colour.g) &&
            Near(p & 0xFF, colour.b))
            ++count;
    }
    return count;
}

void Capture::Save(const std::string& name) const {
    const char* folder = std::getenv("TUNLATCH_SCREENSHOTS");
    if (folder == nullptr || width == 0 || height == 0) return;
    const std::string path = std::string("Z:") + folder + "/" + name + ".bmp";
    ::CreateDirectoryA((std::string("Z:") + folder).c_str(), nullptr);
    std::ofstream out(path, std::ios::binary);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;  // top row first, as held
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const DWORD dataSize = static_cast<DWORD>(pixels.size() * 4);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + dataSize;
    Put(out, file);
    Put(out, info);
    out.write(reinterpret_cast<const char*>(pixels.data()), dataSize);
}

Capture CaptureScreen(const RECT& rect) {
    Capture capture;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return capture;
    UniqueHandle<ScreenDcTraits> screen(::GetDC(nullptr));
    if (!screen) return capture;
    UniqueHandle<MemoryDcTraits> memory(::CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueHandle<NullIsInvalidTraits<HBITMAP, &::DeleteObject>> bitmap(
        ::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap) return capture;
    const HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
    const BOOL copied =
        ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    ::SelectObject(memory.get(), previous);
    if (!copied) return capture;
    const auto* data = static_cast<const std::uint32_t*>(bits);
    capture.width = width;
    capture.height = height;
    capture.pixels.reserve(static_cast<std::size_t>(width) * height);
    for (int i = 0; i < width * height; ++i) capture.pixels.push_back(data[i] & 0xFFFFFF);
    return capture;
}

RECT WineSystemTrayRect() {
    RECT rect{};
    HWND tray = ::FindWindowA(nullptr, "Wine System Tray");
    if (tray == nullptr || !::GetClientRect(tray, &rect)) return RECT{};
    // The client area only: Wine's own caption has greys of its own.
    ::MapWindowPoints(tray, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace tunlatch::testing

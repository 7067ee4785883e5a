#pragma once
// The notification-area icon owned by the hidden form (modTrayIcon). The owner window is always
// the form's picTrayicon, so it is not an argument here.
#include <cstdint>
#include <optional>
#include <string>

namespace tunlatch {

enum class TrayPicture { Grey, Red, GreenRed, Green };

inline constexpr std::int32_t kBalloonInfoSilent = 0x11;  // NIIF_INFO | NIIF_NOSOUND
inline constexpr std::int32_t kBalloonInfo = 0x01;        // NIIF_INFO

class Tray {
public:
    virtual ~Tray() = default;
    // The hidden form that owns the icon exists from Load to Unload; Form_Load and Form_Unload
    // call them first and last.
    virtual void Load() {}
    virtual void Unload() {}
    // show true adds the icon with the picture and tip; false deletes it.
    virtual bool TrayIconShow(bool show, std::optional<TrayPicture> icon,
                              const std::string& tip) = 0;
    virtual bool TrayIconModify(std::optional<TrayPicture> icon,
                                std::optional<std::string> tip) = 0;
    virtual bool TrayBalloon(const std::string& title, const std::string& text, std::int32_t flags,
                             std::int32_t timeout) = 0;
};

}  // namespace tunlatch

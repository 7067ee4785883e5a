#pragma once
// The notification-area icon of a run, in the words of the code that shows it; only the Win32
// side knows the shell's records and numbers.
#include <string>

namespace tunlatch {

enum class TrayPicture { Grey, Red, GreenRed, Green };

enum class BalloonSound { Silent, Audible };

class Tray {
public:
    virtual ~Tray() = default;
    // Each answers whether the shell took the request; the icon is the program's only one.
    virtual bool AddIcon(TrayPicture picture, const std::string& tip) = 0;
    virtual bool ChangePicture(TrayPicture picture) = 0;
    virtual bool ShowBalloon(const std::string& title, const std::string& text,
                             BalloonSound sound) = 0;
    virtual bool DeleteIcon() = 0;
};

}  // namespace tunlatch

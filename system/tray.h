#pragma once
// The notification-area icon of a run, in the words of the code that shows it; only the Win32
// side knows the shell's records and numbers.
#include <string>

namespace tunlatch {

enum class TrayPicture { Grey, Red, GreenRed, Green };

// Silent and Audible are notices, the second with the notice sound; a warning shows Windows'
// warning picture and sound.
enum class BalloonKind { Silent, Audible, Warning };

class Tray {
public:
    virtual ~Tray() = default;
    // Each answers whether the shell took the request; the icon is the program's only one.
    virtual bool AddIcon(TrayPicture picture, const std::string& tip) = 0;
    virtual bool ChangePicture(TrayPicture picture) = 0;
    virtual bool ShowBalloon(const std::string& title, const std::string& text,
                             BalloonKind kind) = 0;
    virtual bool DeleteIcon() = 0;
};

}  // namespace tunlatch

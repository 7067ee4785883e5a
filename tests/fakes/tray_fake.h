#pragma once
#include <optional>
#include <string>
#include <vector>

#include "tests/fakes/journal.h"
#include "system/tray.h"

namespace tunlatch {

inline const char* TrayPictureName(TrayPicture p) {
    switch (p) {
        case TrayPicture::Grey:
            return "picGrey";
        case TrayPicture::Red:
            return "picRed";
        case TrayPicture::GreenRed:
            return "picGreen_Red";
        case TrayPicture::Green:
            return "picGreen";
    }
    return "?";
}

// Records the tray calls in order, as text such as "Show picGrey Tunlatch", "Modify picRed",
// "Balloon 17 Start Hamachi: Service", "Hide", and the form's "Load" and "Unload".
class FakeTray final : public Tray, public Journaled {
public:
    std::vector<std::string> calls;
    bool iconShown = false;
    bool formLoaded = false;

    void Load() override {
        formLoaded = true;
        Record("Load");
    }
    void Unload() override {
        formLoaded = false;
        Record("Unload");
    }

    bool TrayIconShow(bool show, std::optional<TrayPicture> icon, const std::string& tip) override {
        iconShown = show;
        Record(show ? std::string("Show ") + (icon ? TrayPictureName(*icon) : "-") + " " + tip
                    : std::string("Hide"));
        return true;
    }
    bool TrayIconModify(std::optional<TrayPicture> icon, std::optional<std::string> tip) override {
        Record(std::string("Modify ") + (icon ? TrayPictureName(*icon) : "-") +
               (tip ? " " + *tip : std::string()));
        return iconShown;
    }
    bool TrayBalloon(const std::string& title, const std::string& text, std::int32_t flags,
                     std::int32_t timeout) override {
        Record("Balloon " + std::to_string(flags) + " " + text + " [" + title + "] " +
               std::to_string(timeout));
        return iconShown;
    }

private:
    void Record(std::string call) {
        Note("Tray " + call);
        calls.push_back(std::move(call));
    }
};

}  // namespace tunlatch

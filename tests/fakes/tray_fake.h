#pragma once
#include <string>
#include <utility>
#include <vector>

#include "system/tray.h"
#include "tests/fakes/journal.h"

namespace tunlatch {

inline const char* TrayPictureName(TrayPicture p) {
    constexpr const char* kNames[] = {"grey", "red", "green-red", "green"};
    return kNames[static_cast<int>(p)];
}

// Records the calls in order as "Add grey Tunlatch", "Picture red", "Balloon silent TEXT
// [TITLE]" and "Delete". Adding and deleting frame a whole run, so only the calls between them
// go to the journal too, to be ordered against the other modules' steps.
class FakeTray final : public Tray, public Journaled {
public:
    std::vector<std::string> calls;
    bool added = false;

    bool AddIcon(TrayPicture picture, const std::string& tip) override {
        calls.push_back(std::string("Add ") + TrayPictureName(picture) + " " + tip);
        return added = true;
    }
    bool ChangePicture(TrayPicture picture) override {
        return Record(std::string("Picture ") + TrayPictureName(picture));
    }
    bool ShowBalloon(const std::string& title, const std::string& text,
                     BalloonSound sound) override {
        const char* kind = sound == BalloonSound::Silent ? "silent" : "audible";
        return Record("Balloon " + std::string(kind) + " " + text + " [" + title + "]");
    }
    bool DeleteIcon() override {
        calls.push_back("Delete");
        return std::exchange(added, false);
    }

private:
    bool Record(std::string call) {
        Note("Tray " + call);
        calls.push_back(std::move(call));
        return added;
    }
};

}  // namespace tunlatch

#pragma once
// One ordered record of the calls that reach the fakes, so tests can check the order of steps
// across modules (tray, waits, services, ...).
#include <string>
#include <vector>

namespace tunlatch {

struct Journal {
    std::vector<std::string> events;
    void Add(std::string event) { events.push_back(std::move(event)); }
};

// Base of the fakes that report to a journal; reporting is optional.
class Journaled {
public:
    Journal* journal = nullptr;

protected:
    void Note(std::string event) const {
        if (journal) journal->Add(std::move(event));
    }
};

}  // namespace tunlatch

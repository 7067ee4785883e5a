#pragma once
// Fakes of the small modules: clock, dialogs, download, zip and the program host.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "system/clock.h"
#include "system/dialogs.h"
#include "system/download.h"
#include "system/program_host.h"
#include "system/zip.h"
#include "tests/fakes/journal.h"

namespace tunlatch {

class FakeClock final : public Clock {
public:
    TimeOfDay local{7, 4, 9, 31};
    std::string shortDate = "12/5/2026";

    TimeOfDay LocalTime() override { return local; }
    std::string ShortDate() override { return shortDate; }
};

class FakeDialogs final : public Dialogs, public Journaled {
public:
    std::deque<Answer> answers;            // No when none is left
    std::deque<std::string> inputAnswers;  // empty when none is left
    // Text and title of each question, "?" before the title of one that may be cancelled.
    std::vector<std::pair<std::string, std::string>> questions;
    std::vector<std::pair<std::string, std::string>> inputBoxes;

    Answer AskYesNo(const std::string& text, const std::string& title) override {
        return Answered(text, title);
    }
    Answer AskYesNoCancel(const std::string& text, const std::string& title) override {
        return Answered(text, "?" + title);
    }
    std::string ShowInputBox(const std::string& prompt, const std::string& title) override {
        inputBoxes.emplace_back(prompt, title);
        Note("InputBox");
        if (inputAnswers.empty()) return {};
        std::string answer = inputAnswers.front();
        inputAnswers.pop_front();
        return answer;
    }

private:
    Answer Answered(const std::string& text, const std::string& title) {
        questions.emplace_back(text, title);
        Note("MessageBox");
        if (answers.empty()) return Answer::No;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class FakeDownload final : public Download, public Journaled {
public:
    // Called for each download; the default delivers nothing.
    std::function<bool(const std::string& url, const std::string& path)> onDownload =
        [](const std::string&, const std::string&) { return false; };
    std::vector<std::pair<std::string, std::string>> downloads;

    bool UrlDownloadToFile(const std::string& url, const std::string& path) override {
        downloads.emplace_back(url, path);
        Note("Download " + url);
        return onDownload(url, path);
    }
};

class FakeZip final : public Zip, public Journaled {
public:
    std::function<void(const std::string& archive, const std::string& target)> onUnzip =
        [](const std::string&, const std::string&) {};
    std::vector<std::pair<std::string, std::string>> calls;

    void UnzipArchive(const std::string& archive, const std::string& target) override {
        calls.emplace_back(archive, target);
        Note("UnzipArchive " + archive);
        onUnzip(archive, target);
    }
};

class FakeProgramHost final : public ProgramHost {
public:
    bool anotherCopy = false;
    std::string folder = "C:\\Tools\\Tunlatch";
    VersionNumbers version{1, 2, 0, 1};
    std::map<std::string, std::string> environment{{"TEMP", "C:\\Temp"}};

    bool AnotherCopyRunning() override { return anotherCopy; }
    std::string ProgramFolder() override { return folder; }
    VersionNumbers ProgramVersion() override { return version; }
    std::optional<std::string> EnvironmentVariable(const std::string& name) override {
        const auto it = environment.find(name);
        if (it == environment.end()) return std::nullopt;
        return it->second;
    }
};

}  // namespace tunlatch

#pragma once
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "system/files.h"
#include "tests/fakes/journal.h"

namespace tunlatch {

// An in-memory file tree: files by full path with their contents, and a set of folders.
class FakeFileSystem final : public FileSystem, public Journaled {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::set<std::string> unopenable;  // OpenForAppend fails for these
    std::set<std::string> readOnly;    // CopyFileTo into these fails
    bool appendFails = false;

    bool FileExists(const std::string& path) override { return files.count(path) > 0; }
    bool FolderExists(const std::string& path) override { return folders.count(path) > 0; }

    bool ShellDelete(const std::string& path) override {
        Note("ShellDelete " + path);
        bool found = files.erase(path) + folders.erase(path) > 0;
        const std::string inside = path + "\\";
        for (auto it = files.begin(); it != files.end();)
            it = it->first.rfind(inside, 0) == 0 ? (found = true, files.erase(it)) : std::next(it);
        for (auto it = folders.begin(); it != folders.end();)
            it = it->rfind(inside, 0) == 0 ? (found = true, folders.erase(it)) : std::next(it);
        return found;
    }
    std::optional<std::uint64_t> FileLength(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second.size();
    }
    std::optional<std::string> ReadFileRange(const std::string& path, std::uint64_t offset,
                                             std::uint32_t count) override {
        const auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        if (offset >= it->second.size()) return std::string();
        return it->second.substr(offset, count);
    }
    bool CopyFileTo(const std::string& from, const std::string& to) override {
        Note("CopyFileTo " + from + " -> " + to);
        const auto it = files.find(from);
        if (it == files.end() || readOnly.count(to) || folders.count(to)) return false;
        files[to] = it->second;
        return true;
    }
    bool CreateFolder(const std::string& path) override {
        Note("CreateFolder " + path);
        if (folders.count(path) || files.count(path)) return false;
        folders.insert(path);
        return true;
    }

    class File final : public AppendFile {
    public:
        File(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
        bool AppendLine(const std::string& text) override {
            if (fs_.appendFails) return false;
            fs_.files[path_] += text + "\r\n";
            return true;
        }

    private:
        FakeFileSystem& fs_;
        std::string path_;
    };
    std::unique_ptr<AppendFile> OpenForAppend(const std::string& path) override {
        if (unopenable.count(path) || folders.count(path)) return nullptr;
        files[path];  // created when missing
        return std::make_unique<File>(*this, path);
    }

    // The lines of a file written through OpenForAppend, without their CR LF.
    std::vector<std::string> Lines(const std::string& path) const {
        std::vector<std::string> lines;
        const auto it = files.find(path);
        if (it == files.end()) return lines;
        std::istringstream in(it->second);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }
};

}  // namespace tunlatch

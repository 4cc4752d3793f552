#pragma once

#include "startup_entries/TextFilePort.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tidewell::fakes {

// Folders and files in memory; making a folder or writing a file can be refused on demand.
class FakeTextFiles : public TextFilePort {
public:
    struct Write {
        std::string path;
        std::string text;
        Mode mode;
    };

    // --- arranging
    void AddFolder(std::string path) { folders_.insert(Normal(std::move(path))); }
    void AddFile(const std::string& path, std::string content) {
        files_[path] = std::move(content);
    }
    void RefuseFolder(std::string path) { refusedFolders_.insert(Normal(std::move(path))); }
    void RefuseWrites() { refuseWrites_ = true; }

    // --- inspecting
    bool HasFolder(std::string path) const { return folders_.contains(Normal(std::move(path))); }
    const std::string* File(const std::string& path) const {
        const auto it = files_.find(path);
        return it == files_.end() ? nullptr : &it->second;
    }
    const std::vector<Write>& Writes() const { return writes_; }
    const std::vector<std::string>& CreatedFolders() const { return created_; }

    // --- TextFilePort
    bool FolderExists(std::string_view path) override {
        return folders_.contains(Normal(std::string(path)));
    }
    bool CreateFolder(std::string_view path) override {
        std::string folder = Normal(std::string(path));
        if (refusedFolders_.contains(folder)) {
            return false;
        }
        created_.push_back(folder);
        folders_.insert(std::move(folder));
        return true;
    }
    bool FileExists(std::string_view path) override { return files_.contains(std::string(path)); }
    bool WriteText(std::string_view path, std::string_view text, Mode mode) override {
        writes_.push_back({std::string(path), std::string(text), mode});
        if (refuseWrites_) {
            return false;
        }
        std::string& content = files_[std::string(path)];
        if (mode == Mode::Create) {
            content.clear();
        }
        content += text;
        return true;
    }

private:
    static std::string Normal(std::string path) {
        while (path.ends_with('\\')) {
            path.pop_back();
        }
        return path;
    }

    std::set<std::string> folders_{"c:"};
    std::set<std::string> refusedFolders_;
    std::map<std::string, std::string> files_;
    std::vector<Write> writes_;
    std::vector<std::string> created_;
    bool refuseWrites_ = false;
};

} // namespace tidewell::fakes

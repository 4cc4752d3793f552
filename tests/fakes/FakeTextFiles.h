#pragma once

#include "startup_entries/TextFilePort.h"

#include <map>
#include <optional>
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
    std::optional<std::string> ReadText(std::string_view path) override {
        const std::string* content = File(std::string(path));
        return content ? std::optional<std::string>(*content) : std::nullopt;
    }
    // A code page of ASCII and Latin-1: UTF-8 of U+0080..U+00FF becomes one byte, anything
    // beyond has no place.
    std::optional<std::string> FileBytes(std::string_view text) override {
        std::string bytes;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c < 0x80) {
                bytes += static_cast<char>(c);
            } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
                const auto next = static_cast<unsigned char>(text[++i]);
                bytes += static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
            } else {
                return std::nullopt;
            }
        }
        return bytes;
    }
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

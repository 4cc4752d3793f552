#pragma once

#include "fakes/EventLog.h"
#include "run/ChangePriority.h"
#include "run/FilesPort.h"
#include "run/ProgramsPort.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidewell::fakes {

// Programs on a clock the test supplies (the fake event loop's virtual milliseconds). A program
// is known by its command line: missing ones fail to start; a started one shows its window until
// its close time (never, by default).
class FakePrograms : public ProgramsPort {
public:
    struct Program {
        long long runsForMilliseconds = -1; // -1: until CloseAll/Close
        bool hidden = false;
    };
    struct Started {
        std::string commandLine;
        WindowStyle style;
        TaskId task;
        long long at;
    };

    explicit FakePrograms(std::function<long long()> now, EventLog* log = nullptr)
        : now_(std::move(now)), log_(log) {}

    void Install(std::string commandLine) { Install(std::move(commandLine), Program{-1, false}); }
    void Install(std::string commandLine, Program program) {
        installed_[std::move(commandLine)] = program;
    }
    void Uninstall(const std::string& commandLine) { installed_.erase(commandLine); }
    // A window of another program, for activation by title.
    void AddWindow(std::string title) { titled_.insert(std::move(title)); }
    void Close(TaskId task) { closed_.insert(task.value); }

    const std::vector<Started>& Starts() const { return starts_; }
    const std::vector<std::string>& Activations() const { return activations_; }
    const std::vector<std::vector<KeyInput>>& KeysSent() const { return keys_; }
    int TaskChecks() const { return taskChecks_; }

    std::optional<TaskId> Start(std::string_view commandLine, WindowStyle style) override {
        Record("start:" + std::string(commandLine));
        const auto found = installed_.find(std::string(commandLine));
        if (found == installed_.end()) {
            return std::nullopt;
        }
        const TaskId task{nextTask_++};
        starts_.push_back({std::string(commandLine), style, task, now_()});
        running_[task.value] = Running{found->second, now_()};
        return task;
    }
    bool ActivateTask(TaskId task) override {
        ++taskChecks_;
        const auto found = running_.find(task.value);
        if (found == running_.end() || closed_.count(task.value) > 0) {
            return false;
        }
        const Running& running = found->second;
        if (running.program.runsForMilliseconds >= 0 &&
            now_() >= running.startedAt + running.program.runsForMilliseconds) {
            return false;
        }
        activations_.push_back("task " + std::to_string(task.value));
        return true;
    }
    bool ActivateWindow(std::string_view title) override {
        if (titled_.count(std::string(title)) == 0) {
            return false;
        }
        activations_.push_back("title " + std::string(title));
        Record("activate:" + std::string(title));
        return true;
    }
    bool SendKeys(const std::vector<KeyInput>& keys) override {
        keys_.push_back(keys);
        Record("keys");
        return true;
    }

private:
    struct Running {
        Program program;
        long long startedAt;
    };
    void Record(const std::string& what) {
        if (log_) {
            log_->Add("programs:" + what);
        }
    }

    std::function<long long()> now_;
    EventLog* log_;
    std::map<std::string, Program> installed_;
    std::map<std::uint32_t, Running> running_;
    std::set<std::uint32_t> closed_;
    std::set<std::string> titled_;
    std::vector<Started> starts_;
    std::vector<std::string> activations_;
    std::vector<std::vector<KeyInput>> keys_;
    std::uint32_t nextTask_ = 100;
    int taskChecks_ = 0;
};

// A file system in memory: folders and files by full path (case as given; lookups ignore case
// like the real one). Files have a size and can refuse deletion with a reason (locked by
// default); folders can be links, which are never followed and never removed. Text files (the
// run's log) are kept apart, by path.
class FakeFiles : public FilesPort {
public:
    explicit FakeFiles(EventLog* log = nullptr) : log_(log) {
        folders_.windows = "C:\\WINDOWS";
        folders_.system = "C:\\WINDOWS\\SYSTEM32";
        folders_.programFiles = {"C:\\Program Files"};
        folders_.profiles = "C:\\Users";
        folders_.userContent = {"C:\\Users\\me\\Documents", "C:\\Users\\me\\Desktop",
                                "D:\\Shared\\Docs"};
        folders_.appData = {"C:\\Users\\me\\AppData\\Roaming", "C:\\Users\\me\\AppData\\Local"};
        special_[SpecialFolder::Windows] = "C:\\WINDOWS";
        special_[SpecialFolder::Temporary] = "C:\\Users\\me\\Temp";
    }

    void SetSpecial(SpecialFolder folder, std::string path) { special_[folder] = std::move(path); }
    void AddFolder(const std::string& path, bool link = false) {
        items_[Key(path)] = Item{path, true, std::nullopt, link, 0};
    }
    void AddFile(const std::string& path, bool refusesDeletion = false,
                 std::uint64_t bytes = 1000) {
        AddFile(path, refusesDeletion ? std::optional(KeptReason::Locked) : std::nullopt, bytes);
    }
    void AddFile(const std::string& path, std::optional<KeptReason> refuses, std::uint64_t bytes) {
        items_[Key(path)] = Item{path, false, refuses, false, bytes};
    }
    bool Exists(const std::string& path) const { return items_.count(Key(path)) > 0; }
    std::vector<std::string> Remaining() const {
        std::vector<std::string> paths;
        for (const auto& [key, item] : items_) {
            paths.push_back(item.path);
        }
        return paths;
    }
    const std::vector<std::string>& Removals() const { return removals_; }
    SystemFolders& MutableFolders() { return folders_; }

    std::string SpecialFolderPath(SpecialFolder folder) override { return special_[folder]; }
    bool FolderExists(std::string_view path) override {
        const auto found = items_.find(Key(std::string(path)));
        return found != items_.end() && found->second.folder;
    }
    FolderContents Contents(std::string_view path) override {
        FolderContents contents;
        if (!FolderExists(path)) {
            return contents;
        }
        for (const auto& [key, item] : items_) {
            if (Parent(key) == Key(std::string(path))) {
                FolderItem entry{item.path, item.path.substr(item.path.rfind('\\') + 1)};
                (item.folder ? contents.subFolders : contents.files).push_back(entry);
            }
        }
        return contents;
    }
    Removal RemoveFile(std::string_view path) override {
        removals_.push_back("file " + std::string(path));
        Removal removal;
        const auto found = items_.find(Key(std::string(path)));
        if (found == items_.end() || found->second.folder) {
            removal.kept.push_back({std::string(path), KeptReason::Missing});
        } else if (found->second.refuses) {
            removal.kept.push_back({found->second.path, *found->second.refuses});
        } else {
            removal.removed.push_back({found->second.path, false, found->second.bytes});
            items_.erase(found);
        }
        return removal;
    }
    Removal RemoveFolder(std::string_view path) override {
        removals_.push_back("folder " + std::string(path));
        Removal removal;
        RemoveTree(Key(std::string(path)), removal);
        return removal;
    }

    // The run's log and other text files.
    std::map<std::string, std::string> texts;
    bool failTextWrites = false;
    std::string ReadText(std::string_view path) override {
        const auto found = texts.find(std::string(path));
        return found == texts.end() ? std::string() : found->second;
    }
    bool WriteText(std::string_view path, std::string_view text) override {
        if (failTextWrites) {
            return false;
        }
        texts[std::string(path)] = std::string(text);
        return true;
    }
    bool AppendText(std::string_view path, std::string_view text) override {
        if (failTextWrites) {
            throw std::runtime_error("the disk is full");
        }
        texts[std::string(path)] += std::string(text);
        return true;
    }
    std::string LocalTimestamp() override { return "2026-12-10 10:00:00"; }
    SystemFolders Folders() override { return folders_; }
    // Where a path really leads (a link); the path itself by default.
    void SetFullPath(const std::string& path, std::string full) { fullPaths_[Key(path)] = full; }
    std::string FullPath(std::string_view path) override {
        const auto found = fullPaths_.find(Key(std::string(path)));
        return found == fullPaths_.end() ? std::string(path) : found->second;
    }

private:
    struct Item {
        std::string path;
        bool folder;
        std::optional<KeptReason> refuses;
        bool link;
        std::uint64_t bytes;
    };
    static std::string Key(std::string path) {
        for (char& c : path) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        while (!path.empty() && path.back() == '\\') {
            path.pop_back();
        }
        return path;
    }
    static std::string Parent(const std::string& key) {
        const std::size_t last = key.rfind('\\');
        return last == std::string::npos ? std::string() : key.substr(0, last);
    }
    // The bytes of the files removed under `key`; what stays is noted in `removal`.
    std::uint64_t RemoveTree(const std::string& key, Removal& removal) {
        const auto found = items_.find(key);
        if (found == items_.end() || !found->second.folder) {
            removal.kept.push_back({key, KeptReason::Missing});
            return 0;
        }
        const std::string path = found->second.path;
        if (found->second.link) {
            removal.kept.push_back({path, KeptReason::Link});
            return 0;
        }
        const std::size_t keptBefore = removal.kept.size();
        std::uint64_t bytes = 0;
        std::vector<std::string> children;
        for (const auto& [child, item] : items_) {
            if (Parent(child) == key) {
                children.push_back(child);
            }
        }
        for (const std::string& child : children) {
            const Item item = items_.at(child);
            if (item.folder) {
                bytes += RemoveTree(child, removal);
            } else if (item.refuses) {
                removal.kept.push_back({item.path, *item.refuses});
            } else {
                removal.removed.push_back({item.path, false, item.bytes});
                bytes += item.bytes;
                items_.erase(child);
            }
        }
        if (removal.kept.size() == keptBefore) {
            items_.erase(key);
            removal.removed.push_back({path, true, bytes});
        } else {
            removal.kept.push_back({path, KeptReason::NotEmpty});
        }
        return bytes;
    }

    EventLog* log_;
    SystemFolders folders_;
    std::map<SpecialFolder, std::string> special_;
    std::map<std::string, Item> items_; // by lower-case path: sorted, so listings are stable
    std::vector<std::string> removals_;
    std::map<std::string, std::string> fullPaths_;
};

class FakeProcessPriority : public ProcessPriorityPort {
public:
    explicit FakeProcessPriority(EventLog* log = nullptr) : log_(log) {}
    Outcome outcome = Outcome::Changed;
    std::int32_t current = 0x20;
    std::vector<std::int32_t> requests;

    Outcome SetOwnPriorityClass(std::int32_t priorityClass) override {
        requests.push_back(priorityClass);
        if (log_) {
            log_->Add("priority:" + std::to_string(priorityClass));
        }
        if (outcome == Outcome::Changed) {
            current = priorityClass;
        }
        return outcome;
    }

private:
    EventLog* log_;
};

} // namespace tidewell::fakes

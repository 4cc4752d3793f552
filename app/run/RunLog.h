#pragma once

#include "run/FilesPort.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tidewell {

// The run's plain-text log, appended to "Maintenance Log.txt" in the program's folder: when the
// run and each task started, skipped or failed, every item deleted with its size, every item
// left alone with the reason, and the totals at the end. Kept under kLimitBytes by dropping the
// older half. Writing never raises and a failed write never stops the run.
class RunLog {
public:
    static constexpr std::string_view kFileName = "Maintenance Log.txt";
    static constexpr std::uint64_t kLimitBytes = std::uint64_t{1024} * 1024;

    RunLog(FilesPort& files, std::string path) : files_(files), path_(std::move(path)) {}

    void RunStarted(std::string_view what);
    // Once per run, with the totals.
    void RunEnded(std::string_view how);
    void TaskStarted(std::string_view task);
    void TaskSkipped(std::string_view task, std::string_view why);
    void TaskFailed(std::string_view task, std::string_view why);
    void Record(const Removal& removal);
    void Kept(std::string_view path, KeptReason reason);

    static std::string_view ReasonText(KeptReason reason);

private:
    void Line(std::string_view text);
    void Trim();

    FilesPort& files_;
    std::string path_;
    std::uint64_t size_ = 0;
    bool sizeKnown_ = false;
    bool ended_ = true;
    std::uint64_t filesDeleted_ = 0;
    std::uint64_t bytesFreed_ = 0;
    std::uint64_t itemsKept_ = 0;
};

} // namespace tidewell

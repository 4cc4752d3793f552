#include "run/RunLog.h"

#include <exception>

namespace tidewell {

std::string_view RunLog::ReasonText(KeptReason reason) {
    switch (reason) {
    case KeptReason::Locked:
        return "locked";
    case KeptReason::InUse:
        return "in use";
    case KeptReason::ReadOnly:
        return "read-only";
    case KeptReason::AccessDenied:
        return "access denied";
    case KeptReason::Link:
        return "a link, not followed";
    case KeptReason::ProtectedFolder:
        return "a protected folder";
    case KeptReason::NotEmpty:
        return "not empty: items in it were left alone";
    case KeptReason::Missing:
        return "not found";
    case KeptReason::Failed:
        break;
    }
    return "could not be deleted";
}

void RunLog::RunStarted(std::string_view what) {
    ended_ = false;
    filesDeleted_ = bytesFreed_ = itemsKept_ = 0;
    Line("==== Maintenance run started: " + std::string(what));
}

void RunLog::RunEnded(std::string_view how) {
    if (ended_) {
        return;
    }
    ended_ = true;
    Line("==== Maintenance run " + std::string(how) + ": " + std::to_string(filesDeleted_) +
         " files deleted, " + std::to_string(bytesFreed_) + " bytes freed, " +
         std::to_string(itemsKept_) + " items left alone");
}

void RunLog::TaskStarted(std::string_view task) {
    Line("Task started: " + std::string(task));
}

void RunLog::TaskSkipped(std::string_view task, std::string_view why) {
    Line("Task skipped: " + std::string(task) + " (" + std::string(why) + ")");
}

void RunLog::TaskFailed(std::string_view task, std::string_view why) {
    Line("Task failed: " + std::string(task) + " (" + std::string(why) + ")");
}

void RunLog::Record(const Removal& removal) {
    for (const RemovedItem& item : removal.removed) {
        if (!item.folder) {
            ++filesDeleted_;
            bytesFreed_ += item.bytes;
        }
        Line(std::string(item.folder ? "Deleted folder: " : "Deleted file: ") + item.path + " (" +
             std::to_string(item.bytes) + " bytes)");
    }
    for (const KeptItem& item : removal.kept) {
        Kept(item.path, item.reason);
    }
}

void RunLog::Kept(std::string_view path, KeptReason reason) {
    ++itemsKept_;
    Line("Left alone: " + std::string(path) + " (" + std::string(ReasonText(reason)) + ")");
}

void RunLog::Line(std::string_view text) {
    try {
        if (!sizeKnown_) {
            size_ = files_.ReadText(path_).size();
            sizeKnown_ = true;
        }
        const std::string line = files_.LocalTimestamp() + "  " + std::string(text) + "\r\n";
        if (!files_.AppendText(path_, line)) {
            sizeKnown_ = false; // the file is read again at the next line
            return;
        }
        size_ += line.size();
        if (size_ > kLimitBytes) {
            Trim();
        }
    } catch (const std::exception&) {
        sizeKnown_ = false; // a log that cannot be written never stops the run
    }
}

// The older half goes, up to the end of a line.
void RunLog::Trim() {
    const std::string text = files_.ReadText(path_);
    std::size_t cut = text.find('\n', text.size() / 2);
    cut = cut == std::string::npos ? text.size() : cut + 1;
    const std::string kept = text.substr(cut);
    if (files_.WriteText(path_, kept)) {
        size_ = kept.size();
    } else {
        sizeKnown_ = false;
    }
}

} // namespace tidewell

#include "run/FolderSafety.h"

#include <vector>

namespace tidewell {

namespace {

std::vector<std::string> Split(std::string_view path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    parts.push_back(part);
    return parts;
}

bool IsRoot(const std::string& comparable) {
    if (comparable.size() == 2 && comparable[1] == ':') {
        return true; // "c:"
    }
    if (comparable.empty() || comparable == "\\") {
        return true;
    }
    // "\\server" or "\\server\share"
    if (comparable.starts_with("\\\\")) {
        std::size_t separators = 0;
        for (std::size_t i = 2; i < comparable.size(); ++i) {
            separators += comparable[i] == '\\' ? 1 : 0;
        }
        return separators <= 1;
    }
    return false;
}

bool IsSameOrInside(const std::string& inner, const std::string& outer) {
    return inner == outer ||
           (inner.size() > outer.size() && inner.starts_with(outer) && inner[outer.size()] == '\\');
}

std::string Parent(const std::string& comparable) {
    const std::size_t last = comparable.rfind('\\');
    return last == std::string::npos ? std::string() : comparable.substr(0, last);
}

} // namespace

std::string ComparablePath(std::string_view path) {
    const bool unc = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') &&
                     (path[1] == '\\' || path[1] == '/');
    const bool rooted = !unc && !path.empty() && (path[0] == '\\' || path[0] == '/');
    std::vector<std::string> kept;
    for (std::string& part : Split(path)) {
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            // Never climbs above the drive or share it starts on.
            const std::size_t floor =
                unc ? 2 : (!kept.empty() && kept[0].size() == 2 && kept[0][1] == ':' ? 1 : 0);
            if (kept.size() > floor) {
                kept.pop_back();
            }
            continue;
        }
        kept.push_back(std::move(part));
    }
    std::string out = unc ? "\\\\" : rooted ? "\\" : "";
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) {
            out += '\\';
        }
        out += kept[i];
    }
    return out;
}

bool IsFolderNeverCleaned(std::string_view path, const SystemFolders& folders) {
    const std::string candidate = ComparablePath(path);
    if (IsRoot(candidate)) {
        return true;
    }
    std::vector<std::string> guarded{folders.windows, folders.system, folders.profiles};
    guarded.insert(guarded.end(), folders.programFiles.begin(), folders.programFiles.end());
    for (const std::string& folder : guarded) {
        if (!folder.empty() && IsSameOrInside(ComparablePath(folder), candidate)) {
            return true;
        }
    }
    // The user's own content is never a cache, whichever side of it the value lies on.
    for (const std::string& folder : folders.userContent) {
        const std::string content = ComparablePath(folder);
        if (!folder.empty() &&
            (IsSameOrInside(content, candidate) || IsSameOrInside(candidate, content))) {
            return true;
        }
    }
    for (const std::string& folder : folders.appData) {
        if (!folder.empty() && IsSameOrInside(ComparablePath(folder), candidate)) {
            return true;
        }
    }
    return !folders.profiles.empty() && Parent(candidate) == ComparablePath(folders.profiles);
}

} // namespace tidewell

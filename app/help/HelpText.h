#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// Text helpers shared by the HTML Help class's files: names are compared without case, as the
// system compares file and value names.
namespace tidewell::help::text {

inline char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), Lower);
    return lowered;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && Lowered(a) == Lowered(b);
}

inline bool EndsWithNoCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           EqualsNoCase(text.substr(text.size() - ending.size()), ending);
}

inline bool IsBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

inline bool HasWildcard(std::string_view path) {
    return path.find_first_of("*?") != std::string_view::npos;
}

inline std::string AfterLastBackslash(std::string_view path) {
    const auto slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

inline std::string TrimNull(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

// A registered folder normally ends in "\"; one that does not still names the same folder.
inline std::string InFolder(std::string_view folder, std::string_view fileName) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\') {
        path += '\\';
    }
    return path + std::string(fileName);
}

} // namespace tidewell::help::text

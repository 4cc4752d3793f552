#include "controls/RegistryValue.h"

#include <charconv>
#include <utility>

namespace tidewell {

std::string TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

RegistryValue::RegistryValue(std::string text) : empty_(false), text_(std::move(text)) {}

std::string RegistryValue::Trimmed() const {
    return TrimBlanks(text_);
}

bool RegistryValue::TrimmedStartsWith(std::string_view word) const {
    return Trimmed().starts_with(word);
}

bool operator==(const RegistryValue& value, std::string_view text) {
    return value.text_ == text;
}

bool operator==(const RegistryValue& value, long long number) {
    if (value.empty_) {
        return number == 0;
    }
    // Only a missing value is 0: a stored "0" is data (a Run entry whose command is "0").
    if (number == 0) {
        return false;
    }
    const std::string trimmed = value.Trimmed();
    long long parsed = 0;
    const char* begin = trimmed.data();
    const char* end = begin + trimmed.size();
    const auto [stop, error] = std::from_chars(begin, end, parsed);
    return !trimmed.empty() && error == std::errc() && stop == end && parsed == number;
}

} // namespace tidewell

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tidewell {

// A predefined registry key, as the 32-bit signed number the program passes around.
using RegistryRoot = std::int32_t;
inline constexpr RegistryRoot kHkeyCurrentUser = static_cast<RegistryRoot>(0x80000001u);
inline constexpr RegistryRoot kHkeyLocalMachine = static_cast<RegistryRoot>(0x80000002u);

// Registry value types the program knows; it only ever writes kRegSz.
inline constexpr std::int32_t kRegSz = 1;
inline constexpr std::int32_t kRegExpandSz = 2;
inline constexpr std::int32_t kRegBinary = 3;
inline constexpr std::int32_t kRegDword = 4;

// What ReadRegistryValue returns: the text of a string value, or empty when the value is missing
// or unreadable (wrong type, failed read). Empty compares equal to "" and to 0.
class RegistryValue {
public:
    RegistryValue() = default; // empty
    explicit RegistryValue(std::string text);

    bool IsEmpty() const { return empty_; }
    // The text as stored; "" when empty.
    const std::string& Text() const { return text_; }
    // The text without blanks (spaces) at either end.
    std::string Trimmed() const;
    // Trimmed text begins with `word`, compared case-sensitively over word's length; text after
    // the prefix is ignored ("Yes please" begins with "Yes", "yes" does not).
    bool TrimmedStartsWith(std::string_view word) const;

    // Equal when the text is exactly `text` (empty equals "").
    friend bool operator==(const RegistryValue& value, std::string_view text);
    // Empty equals 0, and no text does ("0" included); a text equals another `number` when,
    // trimmed, it is that decimal number.
    friend bool operator==(const RegistryValue& value, long long number);

private:
    bool empty_ = true;
    std::string text_;
};

// Blanks (spaces) removed from both ends.
std::string TrimBlanks(std::string_view text);

} // namespace tidewell

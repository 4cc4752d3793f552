#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

// Virtual-key codes the notation names, as plain numbers (the core has no <windows.h>).
namespace vk {
inline constexpr std::uint16_t kBackspace = 0x08;
inline constexpr std::uint16_t kTab = 0x09;
inline constexpr std::uint16_t kEnter = 0x0D;
inline constexpr std::uint16_t kShift = 0x10;
inline constexpr std::uint16_t kControl = 0x11;
inline constexpr std::uint16_t kAlt = 0x12;
inline constexpr std::uint16_t kBreak = 0x13;
inline constexpr std::uint16_t kCapsLock = 0x14;
inline constexpr std::uint16_t kEscape = 0x1B;
inline constexpr std::uint16_t kSpace = 0x20;
inline constexpr std::uint16_t kPageUp = 0x21;
inline constexpr std::uint16_t kPageDown = 0x22;
inline constexpr std::uint16_t kEnd = 0x23;
inline constexpr std::uint16_t kHome = 0x24;
inline constexpr std::uint16_t kLeft = 0x25;
inline constexpr std::uint16_t kUp = 0x26;
inline constexpr std::uint16_t kRight = 0x27;
inline constexpr std::uint16_t kDown = 0x28;
inline constexpr std::uint16_t kPrintScreen = 0x2C;
inline constexpr std::uint16_t kInsert = 0x2D;
inline constexpr std::uint16_t kDelete = 0x2E;
inline constexpr std::uint16_t kHelp = 0x2F;
inline constexpr std::uint16_t kMultiply = 0x6A;
inline constexpr std::uint16_t kAdd = 0x6B;
inline constexpr std::uint16_t kSubtract = 0x6D;
inline constexpr std::uint16_t kDivide = 0x6F;
inline constexpr std::uint16_t kF1 = 0x70; // F1..F16 follow on
inline constexpr std::uint16_t kNumLock = 0x90;
inline constexpr std::uint16_t kScrollLock = 0x91;
} // namespace vk

// One step of keyboard input: a virtual key going down or up, or a character typed as such
// (a UTF-16 unit, for the characters that have no key of their own in every layout).
struct KeyInput {
    enum class Type { Key, Character };
    Type type = Type::Key;
    std::uint16_t code = 0;
    bool release = false;
    friend bool operator==(const KeyInput&, const KeyInput&) = default;
};

class SendKeysError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Send-keys notation: "+" Shift, "^" Ctrl, "%" Alt, each for the next key or the parenthesised
// group after it; "~" Enter; "{NAME}" a named key, "{NAME n}" it n times; "{+}", "{%}", "{(}" and
// the like the character itself. Letters and digits are sent as their keys (an upper-case letter
// outside Ctrl/Alt with Shift), every other character as typed text. Bad notation throws
// SendKeysError naming where it went wrong; nothing is sent then.
std::vector<KeyInput> ParseSendKeys(std::string_view keys);

} // namespace tidewell

// The send-keys notation on arbitrary text. Properties beyond "no crash":
// - bad notation is refused with SendKeysError and nothing else;
// - accepted notation never leaves a key down: every press has its release, modifiers are
//   released in the reverse order of their presses, and typed characters come in pairs;
// - notation reads left to right: when two texts are each accepted, their concatenation gives
//   the first's keys followed by the second's (except a CR that ends the first text and the LF
//   that starts the second, which are one Enter together);
// - text without notation signs sends one key or character per character.
#include "FuzzSupport.h"
#include "run/SendKeys.h"

#include <map>
#include <optional>
#include <vector>

using namespace tidewell;

namespace {

std::optional<std::vector<KeyInput>> Parse(std::string_view text) {
    try {
        return ParseSendKeys(text);
    } catch (const SendKeysError& error) {
        FUZZ_CHECK(error.what()[0] != '\0');
        return std::nullopt;
    }
}

bool IsModifier(std::uint16_t key) {
    return key == vk::kShift || key == vk::kControl || key == vk::kAlt;
}

void CheckBalanced(const std::vector<KeyInput>& keys) {
    std::vector<std::uint16_t> heldModifiers;
    std::map<std::uint16_t, int> down;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const KeyInput& input = keys[i];
        if (input.type == KeyInput::Type::Character) {
            // A typed character is its own press and release, back to back.
            if (!input.release) {
                FUZZ_CHECK(i + 1 < keys.size());
                FUZZ_CHECK(keys[i + 1].type == KeyInput::Type::Character && keys[i + 1].release &&
                           keys[i + 1].code == input.code);
            } else {
                FUZZ_CHECK(i > 0 && keys[i - 1].type == KeyInput::Type::Character &&
                           !keys[i - 1].release && keys[i - 1].code == input.code);
            }
            continue;
        }
        if (IsModifier(input.code)) {
            if (!input.release) {
                heldModifiers.push_back(input.code);
            } else {
                FUZZ_CHECK(!heldModifiers.empty() && heldModifiers.back() == input.code);
                heldModifiers.pop_back();
            }
            continue;
        }
        if (!input.release) {
            FUZZ_CHECK(down[input.code] == 0); // a key goes up before it goes down again
            down[input.code] = 1;
        } else {
            FUZZ_CHECK(down[input.code] == 1);
            down[input.code] = 0;
        }
    }
    FUZZ_CHECK(heldModifiers.empty());
    for (const auto& [code, count] : down)
        FUZZ_CHECK(count == 0);
}

bool HasNotation(std::string_view text) {
    return text.find_first_of("+^%~(){}") != std::string_view::npos;
}

// Plain text: every character is one press, with Shift around capitals.
void CheckPlain(std::string_view text, const std::vector<KeyInput>& keys) {
    std::size_t presses = 0;
    for (const KeyInput& input : keys)
        if (!input.release && !(input.type == KeyInput::Type::Key && input.code == vk::kShift))
            ++presses;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte of the character before
        if (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        // Characters beyond the 16-bit range are typed as two units.
        characters += byte >= 0xF0 ? 2 : 1;
    }
    FUZZ_CHECK(presses == characters);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte splits the rest into two texts.
    const std::string_view rest = fuzz::AsText(data + 1, size - 1);
    const std::size_t split = rest.empty() ? 0 : data[0] % (rest.size() + 1);
    const std::string_view first = rest.substr(0, split);
    const std::string_view second = rest.substr(split);

    const auto whole = Parse(rest);
    if (whole) {
        CheckBalanced(*whole);
        if (!HasNotation(rest))
            CheckPlain(rest, *whole);
    }
    const auto a = Parse(first);
    const auto b = Parse(second);
    if (a && b && !(first.ends_with('\r') && second.starts_with('\n'))) {
        FUZZ_CHECK(whole.has_value());
        std::vector<KeyInput> joined = *a;
        joined.insert(joined.end(), b->begin(), b->end());
        FUZZ_CHECK(*whole == joined);
    }
    return 0;
}

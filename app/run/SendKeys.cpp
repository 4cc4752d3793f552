#include "run/SendKeys.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace tidewell {

namespace {

// A named key's longest repeat: enough for any script, small enough that a typo cannot flood the
// input queue.
constexpr int kMaxRepeat = 1000;

// Groups nest no deeper than any real script needs, so a runaway text cannot exhaust the stack.
constexpr int kMaxGroupDepth = 32;

struct NamedKey {
    std::string_view name;
    std::uint16_t key;
};

constexpr std::array kNamedKeys{
    NamedKey{"BACKSPACE", vk::kBackspace},
    NamedKey{"BS", vk::kBackspace},
    NamedKey{"BKSP", vk::kBackspace},
    NamedKey{"BREAK", vk::kBreak},
    NamedKey{"CAPSLOCK", vk::kCapsLock},
    NamedKey{"DELETE", vk::kDelete},
    NamedKey{"DEL", vk::kDelete},
    NamedKey{"DOWN", vk::kDown},
    NamedKey{"END", vk::kEnd},
    NamedKey{"ENTER", vk::kEnter},
    NamedKey{"ESC", vk::kEscape},
    NamedKey{"ESCAPE", vk::kEscape},
    NamedKey{"HELP", vk::kHelp},
    NamedKey{"HOME", vk::kHome},
    NamedKey{"INSERT", vk::kInsert},
    NamedKey{"INS", vk::kInsert},
    NamedKey{"LEFT", vk::kLeft},
    NamedKey{"NUMLOCK", vk::kNumLock},
    NamedKey{"PGDN", vk::kPageDown},
    NamedKey{"PGUP", vk::kPageUp},
    NamedKey{"PRTSC", vk::kPrintScreen},
    NamedKey{"RIGHT", vk::kRight},
    NamedKey{"SCROLLLOCK", vk::kScrollLock},
    NamedKey{"TAB", vk::kTab},
    NamedKey{"UP", vk::kUp},
    NamedKey{"ADD", vk::kAdd},
    NamedKey{"SUBTRACT", vk::kSubtract},
    NamedKey{"MULTIPLY", vk::kMultiply},
    NamedKey{"DIVIDE", vk::kDivide},
    NamedKey{"SPACE", vk::kSpace},
};

struct Modifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
};

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::vector<KeyInput> Run() {
        Sequence({}, false);
        return std::move(out_);
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw SendKeysError(what + " at position " + std::to_string(at_) + " of \"" +
                            std::string(text_) + "\"");
    }

    void Sequence(Modifiers held, bool inGroup) {
        while (at_ < text_.size()) {
            if (text_[at_] == ')') {
                if (!inGroup) {
                    Fail("unmatched ')'");
                }
                return;
            }
            Item(held);
        }
        if (inGroup) {
            Fail("missing ')'");
        }
    }

    // One key, braced key or group, with the modifiers written before it.
    void Item(Modifiers held) {
        std::vector<std::uint16_t> pressed;
        while (at_ < text_.size() &&
               (text_[at_] == '+' || text_[at_] == '^' || text_[at_] == '%')) {
            const char sign = text_[at_++];
            bool& flag = sign == '+' ? held.shift : sign == '^' ? held.control : held.alt;
            if (!flag) {
                flag = true;
                const std::uint16_t key = sign == '+'   ? vk::kShift
                                          : sign == '^' ? vk::kControl
                                                        : vk::kAlt;
                Key(key, false);
                pressed.push_back(key);
            }
        }
        if (at_ >= text_.size()) {
            if (!pressed.empty()) {
                Fail("a modifier needs a key after it");
            }
            return;
        }
        const char c = text_[at_];
        if (c == '(') {
            if (depth_ == kMaxGroupDepth) {
                Fail("groups nested deeper than " + std::to_string(kMaxGroupDepth));
            }
            ++at_;
            ++depth_;
            Sequence(held, true);
            --depth_;
            ++at_; // the ')'
        } else if (c == '{') {
            Braced(held);
        } else if (c == '}') {
            Fail("unmatched '}'");
        } else if (c == ')') {
            Fail("a modifier needs a key after it");
        } else if (c == '~') {
            ++at_;
            Press(vk::kEnter);
        } else {
            Character(held, NextCodePoint(), true);
        }
        for (auto it = pressed.rbegin(); it != pressed.rend(); ++it) {
            Key(*it, true);
        }
    }

    void Braced(Modifiers held) {
        const std::size_t open = at_++;
        // "{}}" is the closing brace itself; otherwise the name runs to the first '}'.
        std::size_t close =
            text_.find('}', at_ + (at_ < text_.size() && text_[at_] == '}' ? 1 : 0));
        if (close == std::string_view::npos) {
            at_ = open;
            Fail("missing '}'");
        }
        std::string_view content = text_.substr(at_, close - at_);
        at_ = close + 1;
        int repeat = 1;
        const std::size_t blank = content.rfind(' ');
        if (blank != std::string_view::npos && blank > 0) {
            const std::string_view count = content.substr(blank + 1);
            if (count.empty() || count.size() > 4 ||
                !std::all_of(count.begin(), count.end(),
                             [](char d) { return d >= '0' && d <= '9'; })) {
                at_ = open;
                Fail("bad repeat count in {" + std::string(content) + "}");
            }
            repeat = std::stoi(std::string(count));
            if (repeat > kMaxRepeat) {
                at_ = open;
                Fail("repeat count over " + std::to_string(kMaxRepeat));
            }
            content = content.substr(0, blank);
        }
        if (content.empty()) {
            at_ = open;
            Fail("empty {}");
        }
        std::uint16_t key = 0;
        if (!NamedKeyCode(content, key)) {
            // A single character stands for itself ("{+}", "{~}", "{a 3}").
            Parser single(content);
            const char32_t codePoint = single.NextCodePoint();
            if (single.at_ != content.size()) {
                at_ = open;
                Fail("unknown key {" + std::string(content) + "}");
            }
            for (int i = 0; i < repeat; ++i) {
                Character(held, codePoint, false);
            }
            return;
        }
        for (int i = 0; i < repeat; ++i) {
            Press(key);
        }
    }

    static bool NamedKeyCode(std::string_view name, std::uint16_t& key) {
        std::string upper(name);
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        for (const NamedKey& named : kNamedKeys) {
            if (named.name == upper) {
                key = named.key;
                return true;
            }
        }
        if (upper.size() >= 2 && upper.size() <= 3 && upper[0] == 'F' &&
            std::all_of(upper.begin() + 1, upper.end(),
                        [](char d) { return d >= '0' && d <= '9'; })) {
            const int number = std::stoi(upper.substr(1));
            if (number >= 1 && number <= 16) {
                key = static_cast<std::uint16_t>(vk::kF1 + number - 1);
                return true;
            }
        }
        return false;
    }

    char32_t NextCodePoint() {
        const auto byte = [this](std::size_t i) { return static_cast<unsigned char>(text_[i]); };
        const unsigned char lead = byte(at_);
        int length = 0;
        char32_t value = 0;
        if (lead < 0x80) {
            length = 1;
            value = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            value = lead & 0x07;
        } else {
            Fail("invalid UTF-8");
        }
        if (at_ + static_cast<std::size_t>(length) > text_.size()) {
            Fail("invalid UTF-8");
        }
        for (int i = 1; i < length; ++i) {
            const unsigned char next = byte(at_ + static_cast<std::size_t>(i));
            if ((next & 0xC0) != 0x80) {
                Fail("invalid UTF-8");
            }
            value = (value << 6) | (next & 0x3F);
        }
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            Fail("invalid UTF-8");
        }
        at_ += static_cast<std::size_t>(length);
        return value;
    }

    // `inText`: the character stands in the text itself, where CR LF is one Enter; a braced CR is
    // always its own Enter.
    void Character(Modifiers held, char32_t c, bool inText) {
        if (c >= 'a' && c <= 'z') {
            Press(static_cast<std::uint16_t>(c - 'a' + 'A'));
        } else if (c >= 'A' && c <= 'Z') {
            // With Ctrl or Alt the letter names a key (a mnemonic, a shortcut), not a capital.
            const bool addShift = !held.shift && !held.control && !held.alt;
            if (addShift) {
                Key(vk::kShift, false);
            }
            Press(static_cast<std::uint16_t>(c));
            if (addShift) {
                Key(vk::kShift, true);
            }
        } else if ((c >= '0' && c <= '9') || c == ' ') {
            Press(static_cast<std::uint16_t>(c));
        } else if (c == '\t') {
            Press(vk::kTab);
        } else if (c == '\n') {
            Press(vk::kEnter);
        } else if (c == '\r') {
            if (!inText || at_ >= text_.size() || text_[at_] != '\n') {
                Press(vk::kEnter);
            }
        } else if (c < 0x20 || c == 0x7F) {
            Fail("control character");
        } else if (c >= 0x10000) {
            const char32_t v = c - 0x10000;
            Typed(static_cast<std::uint16_t>(0xD800 + (v >> 10)));
            Typed(static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            Typed(static_cast<std::uint16_t>(c));
        }
    }

    void Key(std::uint16_t key, bool release) {
        out_.push_back(KeyInput{KeyInput::Type::Key, key, release});
    }
    void Press(std::uint16_t key) {
        Key(key, false);
        Key(key, true);
    }
    void Typed(std::uint16_t unit) {
        out_.push_back(KeyInput{KeyInput::Type::Character, unit, false});
        out_.push_back(KeyInput{KeyInput::Type::Character, unit, true});
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int depth_ = 0;
    std::vector<KeyInput> out_;
};

} // namespace

std::vector<KeyInput> ParseSendKeys(std::string_view keys) {
    return Parser(keys).Run();
}

} // namespace tidewell

#include "registrar/RegistrationScript.h"

#include <cwctype>
#include <stdexcept>

namespace registry::registrar {

namespace {

constexpr size_t kMaxDepth = 32;

enum class TokenKind { Word, Quoted, Equals, Open, Close, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::wstring text;
    size_t line = 0;
};

struct Failure {
    size_t line;
    std::string message;
};

std::string Narrow(std::wstring_view text) {
    std::string result;
    for (wchar_t c : text)
        result += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    return result;
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0xFEFF;
}

class Lexer {
public:
    explicit Lexer(std::wstring_view text) : text_(text) {}

    std::vector<Token> Tokens() {
        std::vector<Token> tokens;
        for (;;) {
            SkipBlanks();
            if (pos_ >= text_.size())
                break;
            const wchar_t c = text_[pos_];
            if (c == L'=') {
                tokens.push_back({TokenKind::Equals, L"=", line_});
                ++pos_;
            } else if (c == L'\'') {
                tokens.push_back(Quoted());
            } else {
                Word(tokens);
            }
        }
        tokens.push_back({TokenKind::End, L"", 0});
        return tokens;
    }

private:
    void SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) {
            if (text_[pos_] == L'\n')
                ++line_;
            ++pos_;
        }
    }

    // A quoted string; a doubled quote stands for one quote. Strings do not span lines.
    Token Quoted() {
        Token token{TokenKind::Quoted, L"", line_};
        ++pos_;
        for (;;) {
            if (pos_ >= text_.size() || text_[pos_] == L'\n' || text_[pos_] == L'\r')
                throw Failure{token.line, "unterminated quoted string"};
            const wchar_t c = text_[pos_++];
            if (c == L'\'') {
                if (pos_ < text_.size() && text_[pos_] == L'\'') {
                    token.text += L'\'';
                    ++pos_;
                    continue;
                }
                return token;
            }
            if (c == 0)
                throw Failure{token.line, "NUL character in quoted string"};
            token.text += c;
        }
    }

    static bool EndsWord(wchar_t c) {
        return IsBlank(c) || c == L'=' || c == L'\'' || c == L'{' || c == L'}';
    }

    // Braces are block marks, except that a brace-enclosed word such as a class identifier is a
    // name. Other words run to the next blank, '=', quote or brace.
    void Word(std::vector<Token>& tokens) {
        const wchar_t c = text_[pos_];
        if (c == 0)
            throw Failure{line_, "NUL character in script"};
        if (c == L'{') {
            size_t end = pos_ + 1;
            while (end < text_.size() && !EndsWord(text_[end]) && text_[end] != 0)
                ++end;
            if (end < text_.size() && end > pos_ + 1 && text_[end] == L'}') {
                tokens.push_back(
                    {TokenKind::Word, std::wstring(text_.substr(pos_, end + 1 - pos_)), line_});
                pos_ = end + 1;
                return;
            }
        }
        if (c == L'{' || c == L'}') {
            tokens.push_back(
                {c == L'{' ? TokenKind::Open : TokenKind::Close, std::wstring(1, c), line_});
            ++pos_;
            return;
        }
        const size_t start = pos_;
        while (pos_ < text_.size() && !EndsWord(text_[pos_])) {
            if (text_[pos_] == 0)
                throw Failure{line_, "NUL character in script"};
            ++pos_;
        }
        tokens.push_back({TokenKind::Word, std::wstring(text_.substr(start, pos_ - start)), line_});
    }

    std::wstring_view text_;
    size_t pos_ = 0;
    size_t line_ = 1;
};

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i])))
            return false;
    return true;
}

std::optional<RootKey> RootFromName(std::wstring_view name) {
    struct Entry {
        const wchar_t* shortName;
        const wchar_t* longName;
        RootKey root;
    };
    static const Entry entries[] = {
        {L"HKCR", L"HKEY_CLASSES_ROOT", RootKey::ClassesRoot},
        {L"HKCU", L"HKEY_CURRENT_USER", RootKey::CurrentUser},
        {L"HKLM", L"HKEY_LOCAL_MACHINE", RootKey::LocalMachine},
        {L"HKU", L"HKEY_USERS", RootKey::Users},
        {L"HKCC", L"HKEY_CURRENT_CONFIG", RootKey::CurrentConfig},
    };
    for (const Entry& entry : entries)
        if (EqualsNoCase(name, entry.shortName) || EqualsNoCase(name, entry.longName))
            return entry.root;
    return std::nullopt;
}

class Parser {
public:
    Parser(std::vector<Token> tokens, const std::map<std::wstring, std::wstring>& replacements)
        : tokens_(std::move(tokens)), replacements_(replacements) {}

    Script Parse() {
        Script script;
        while (Peek().kind != TokenKind::End) {
            const Token& name = Next();
            if (name.kind != TokenKind::Word)
                throw Failure{name.line,
                              "expected a root key name, found '" + Narrow(name.text) + "'"};
            const std::optional<RootKey> root = RootFromName(name.text);
            if (!root)
                throw Failure{name.line, "unknown root key '" + Narrow(name.text) + "'"};
            ScriptRoot entry;
            entry.root = *root;
            if (Peek().kind == TokenKind::Open) {
                Next();
                ParseBlock(entry.keys, nullptr, 1);
            }
            script.roots.push_back(std::move(entry));
        }
        return script;
    }

private:
    const Token& Peek() const { return tokens_[index_]; }
    const Token& Next() {
        const Token& token = tokens_[index_];
        if (token.kind != TokenKind::End)
            ++index_;
        return token;
    }

    // Entries up to and including the closing brace of a block whose opening brace was read:
    // sub-keys, and named values when the block is a key's (values given; a root's has none).
    void ParseBlock(std::vector<ScriptKey>& keys, std::vector<NamedValue>* values, size_t depth) {
        if (depth > kMaxDepth)
            throw Failure{Peek().line, "keys nested too deeply"};
        for (;;) {
            const Token& token = Peek();
            if (token.kind == TokenKind::Close) {
                Next();
                return;
            }
            if (token.kind == TokenKind::End)
                throw Failure{0, "missing '}' at end of script"};
            if (values && token.kind == TokenKind::Word && EqualsNoCase(token.text, L"val")) {
                Next();
                NamedValue value;
                value.name = Name(Next(), "value name");
                const Token& equals = Next();
                if (equals.kind != TokenKind::Equals)
                    throw Failure{equals.line,
                                  "expected '=' after value name '" + Narrow(value.name) + "'"};
                value.data = StringValue();
                values->push_back(std::move(value));
                continue;
            }
            ParseKey(keys, depth);
        }
    }

    void ParseKey(std::vector<ScriptKey>& keys, size_t depth) {
        ScriptKey key;
        const Token* token = &Next();
        if (token->kind == TokenKind::Word && EqualsNoCase(token->text, L"val")) {
            throw Failure{token->line, "'val' outside a key's block"};
        }
        if (token->kind == TokenKind::Word && EqualsNoCase(token->text, L"NoRemove")) {
            key.flag = KeyFlag::NoRemove;
            token = &Next();
        } else if (token->kind == TokenKind::Word && EqualsNoCase(token->text, L"ForceRemove")) {
            key.flag = KeyFlag::ForceRemove;
            token = &Next();
        }
        key.name = KeyName(*token);
        if (Peek().kind == TokenKind::Equals) {
            Next();
            key.defaultValue = StringValue();
        }
        if (Peek().kind == TokenKind::Open) {
            Next();
            ParseBlock(key.subKeys, &key.values, depth + 1);
        }
        keys.push_back(std::move(key));
    }

    std::wstring KeyName(const Token& token) {
        std::wstring name = Name(token, "key name");
        if (name.find(L'\\') != std::wstring::npos)
            throw Failure{token.line, "key name '" + Narrow(name) + "' contains a backslash"};
        if (name.empty())
            throw Failure{token.line, "empty key name"};
        return name;
    }

    std::wstring Name(const Token& token, const char* what) {
        if (token.kind == TokenKind::End)
            throw Failure{0, std::string("expected a ") + what + " at end of script"};
        if (token.kind != TokenKind::Word && token.kind != TokenKind::Quoted)
            throw Failure{token.line, std::string("expected a ") + what + ", found '" +
                                          Narrow(token.text) + "'"};
        if (token.kind == TokenKind::Word &&
            (EqualsNoCase(token.text, L"NoRemove") || EqualsNoCase(token.text, L"ForceRemove") ||
             EqualsNoCase(token.text, L"val")))
            throw Failure{token.line,
                          std::string("keyword '") + Narrow(token.text) + "' used as a " + what};
        return Substitute(token);
    }

    // "s" followed by a quoted string: the only value type the scripts use.
    std::wstring StringValue() {
        const Token& type = Next();
        if (type.kind == TokenKind::End)
            throw Failure{0, "expected a value type at end of script"};
        if (type.kind != TokenKind::Word || type.text != L"s")
            throw Failure{type.line, "unsupported value type '" + Narrow(type.text) + "'"};
        const Token& data = Next();
        if (data.kind != TokenKind::Quoted)
            throw Failure{data.line ? data.line : type.line, "expected a quoted string after 's'"};
        return Substitute(data);
    }

    std::wstring Substitute(const Token& token) {
        std::wstring result;
        const std::wstring& text = token.text;
        size_t pos = 0;
        while (pos < text.size()) {
            const size_t percent = text.find(L'%', pos);
            if (percent == std::wstring::npos) {
                result.append(text, pos, std::wstring::npos);
                break;
            }
            result.append(text, pos, percent - pos);
            const size_t end = text.find(L'%', percent + 1);
            if (end == std::wstring::npos)
                throw Failure{token.line, "unmatched '%' in '" + Narrow(text) + "'"};
            const std::wstring name = text.substr(percent + 1, end - percent - 1);
            if (name.empty()) {
                result += L'%';
            } else {
                const auto found = replacements_.find(name);
                if (found == replacements_.end())
                    throw Failure{token.line, "unknown replacement '%" + Narrow(name) + "%'"};
                result += found->second;
            }
            pos = end + 1;
        }
        return result;
    }

    std::vector<Token> tokens_;
    const std::map<std::wstring, std::wstring>& replacements_;
    size_t index_ = 0;
};

} // namespace

ParseResult ParseScript(std::wstring_view text,
                        const std::map<std::wstring, std::wstring>& replacements) {
    ParseResult result;
    try {
        Parser parser(Lexer(text).Tokens(), replacements);
        result.script = parser.Parse();
    } catch (const Failure& failure) {
        result.error = {failure.line, failure.message};
    } catch (const std::bad_alloc&) {
        result.error = {0, "out of memory"};
    }
    return result;
}

} // namespace registry::registrar

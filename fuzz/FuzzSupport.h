#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

// A broken property is a finding: libFuzzer saves the input that caused the abort.
[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::fuzz::Fail(#condition, __FILE__, __LINE__);                                          \
    } while (false)

// Bytes as text for the wide-character parsers: well-formed UTF-8 sequences become their code
// point, any other byte stands for itself, so ASCII dictionaries still reach the parser while
// every 16-bit unit stays reachable.
inline std::wstring WidenLenient(std::string_view bytes) {
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = lead >= 0xE0 && lead < 0xF0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 1;
        char32_t point = length == 3 ? lead & 0x0Fu : length == 2 ? lead & 0x1Fu : lead;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = i + k < bytes.size() ? static_cast<unsigned char>(bytes[i + k]) : 0;
            if ((next & 0xC0u) != 0x80u) {
                length = 1;
                point = lead;
                break;
            }
            point = (point << 6) | (next & 0x3Fu);
        }
        text += static_cast<wchar_t>(point);
        i += length;
    }
    return text;
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace fuzz

#include "startup_entries/RegistryObjects.h"

#include <utility>

namespace tidewell {

namespace {

std::string ErrorText(std::uint32_t hresult, const std::string& description) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text = "registry library error 0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += kDigits[(hresult >> shift) & 0xF];
    }
    if (!description.empty()) {
        text += ": " + description;
    }
    return text;
}

} // namespace

RegistryLibraryError::RegistryLibraryError(std::uint32_t hresult, std::string description)
    : std::runtime_error(ErrorText(hresult, description)), hresult_(hresult),
      description_(std::move(description)) {}

RegistryData RegistryData::Text(std::string text) {
    RegistryData data;
    data.kind_ = Kind::Text;
    data.type_ = kRegSzType;
    data.text_ = std::move(text);
    return data;
}

RegistryData RegistryData::ExpandText(std::string text) {
    RegistryData data = Text(std::move(text));
    data.type_ = kRegExpandSzType;
    return data;
}

RegistryData RegistryData::Number(std::int32_t number) {
    RegistryData data;
    data.kind_ = Kind::Number;
    data.type_ = kRegDwordType;
    data.number_ = number;
    return data;
}

RegistryData RegistryData::Strings(std::vector<std::string> strings) {
    RegistryData data;
    data.kind_ = Kind::Strings;
    data.type_ = kRegMultiSzType;
    data.strings_ = std::move(strings);
    return data;
}

RegistryData RegistryData::Bytes(std::uint32_t type, std::vector<std::uint8_t> bytes) {
    RegistryData data;
    data.kind_ = Kind::Bytes;
    data.type_ = type;
    data.bytes_ = std::move(bytes);
    return data;
}

std::string RegistryData::AsText() const {
    switch (kind_) {
    case Kind::Empty:
        return {};
    case Kind::Text:
        return text_;
    case Kind::Number:
        return std::to_string(number_);
    case Kind::Strings: {
        std::string joined;
        for (std::size_t i = 0; i < strings_.size(); ++i) {
            joined += (i == 0 ? "" : std::string(kStringsMark)) + strings_[i];
        }
        return joined;
    }
    case Kind::Bytes:
        break;
    }
    if (type_ == kRegQwordType && bytes_.size() == 8) {
        std::uint64_t number = 0;
        for (std::size_t i = 8; i-- > 0;) {
            number = (number << 8) | bytes_[i];
        }
        return std::to_string(number);
    }
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : bytes_) {
        if (!hex.empty()) {
            hex += ' ';
        }
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

} // namespace tidewell

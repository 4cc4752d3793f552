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
    data.text_ = std::move(text);
    return data;
}

RegistryData RegistryData::Number(std::int32_t number) {
    RegistryData data;
    data.kind_ = Kind::Number;
    data.number_ = number;
    return data;
}

RegistryData RegistryData::NoText() {
    RegistryData data;
    data.kind_ = Kind::NoText;
    return data;
}

std::optional<std::string> RegistryData::AsText() const {
    switch (kind_) {
    case Kind::Empty:
        return std::string();
    case Kind::Text:
        return text_;
    case Kind::Number:
        return std::to_string(number_);
    case Kind::NoText:
        break;
    }
    return std::nullopt;
}

} // namespace tidewell

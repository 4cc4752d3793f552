#pragma once

#include "controls/RegistryValue.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

// A failure the registry object library reported: its HRESULT and the description of the error
// information it left (empty when it left none).
class RegistryLibraryError : public std::runtime_error {
public:
    RegistryLibraryError(std::uint32_t hresult, std::string description);
    std::uint32_t HResult() const { return hresult_; }
    const std::string& Description() const { return description_; }

private:
    std::uint32_t hresult_;
    std::string description_;
};

// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND): the key or value is not there.
inline constexpr std::uint32_t kNotFoundResult = 0x80070002u;

// Registry value types the editor tells apart (as the data carries them).
inline constexpr std::uint32_t kRegSzType = 1;
inline constexpr std::uint32_t kRegExpandSzType = 2;
inline constexpr std::uint32_t kRegBinaryType = 3;
inline constexpr std::uint32_t kRegDwordType = 4;
inline constexpr std::uint32_t kRegMultiSzType = 7;
inline constexpr std::uint32_t kRegQwordType = 11;

// A value's type and data as the library hands them out: the text of a string or expandable
// string (unexpanded), the number of a DWORD, the strings of a multi-string, and the raw bytes of
// every other type. Empty is the data of a table slot nothing was stored in.
class RegistryData {
public:
    enum class Kind { Empty, Text, Number, Strings, Bytes };

    RegistryData() = default;
    static RegistryData Text(std::string text);
    static RegistryData ExpandText(std::string text);
    static RegistryData Number(std::int32_t number);
    static RegistryData Strings(std::vector<std::string> strings);
    // Binary, 64-bit number and any other type.
    static RegistryData Bytes(std::uint32_t type, std::vector<std::uint8_t> bytes);

    Kind GetKind() const { return kind_; }
    std::uint32_t Type() const { return type_; }
    const std::string& GetText() const { return text_; }
    std::int32_t AsNumber() const { return number_; }
    const std::vector<std::string>& GetStrings() const { return strings_; }
    const std::vector<std::uint8_t>& GetBytes() const { return bytes_; }

    // The text a text box shows: the text itself, a DWORD or QWORD in decimal, the strings of a
    // multi-string joined by kStringsMark, other bytes in hexadecimal pairs; "" for Empty.
    std::string AsText() const;
    static constexpr std::string_view kStringsMark = " | ";

    friend bool operator==(const RegistryData&, const RegistryData&) = default;

private:
    Kind kind_ = Kind::Empty;
    std::uint32_t type_ = 0;
    std::string text_;
    std::int32_t number_ = 0;
    std::vector<std::string> strings_;
    std::vector<std::uint8_t> bytes_;
};

// One value of a key, as the value collection delivers it.
struct RegistryEntry {
    std::string name;
    RegistryData data;
    friend bool operator==(const RegistryEntry&, const RegistryEntry&) = default;
};

// An open key of the registry object library (IRegistryKey). Names and texts are UTF-8. Every
// failure the library reports is thrown as RegistryLibraryError.
class RegistryKeyObject {
public:
    virtual ~RegistryKeyObject() = default;
    virtual std::int32_t ValueCount() = 0;
    // Every value the key's value collection enumerates, in the key's order.
    virtual std::vector<RegistryEntry> Values() = 0;
    virtual bool ValueExists(std::string_view name) = 0;
    // The value's data now; nothing when the value does not exist.
    virtual std::optional<RegistryData> ReadValue(std::string_view name) = 0;
    // Stores `data` as REG_SZ.
    virtual void WriteString(std::string_view name, std::string_view data) = 0;
    // A value that is not there gives RegistryLibraryError with kNotFoundResult.
    virtual void DeleteValue(std::string_view name) = 0;
};

// A RegistryDatabase object of the library, on the local registry.
class RegistryDatabaseObject {
public:
    virtual ~RegistryDatabaseObject() = default;
    // Opens root\subKey with the best access available; nullptr when the key does not exist.
    virtual std::unique_ptr<RegistryKeyObject> OpenKey(RegistryRoot root,
                                                       std::string_view subKey) = 0;
    // Opens root\subKey, creating it when it is missing.
    virtual std::unique_ptr<RegistryKeyObject> CreateKey(RegistryRoot root,
                                                         std::string_view subKey) = 0;
};

// The component system's side: makes RegistryDatabase objects by class identifier.
class RegistryLibrary {
public:
    virtual ~RegistryLibrary() = default;
    virtual std::unique_ptr<RegistryDatabaseObject> CreateDatabase() = 0;
};

} // namespace tidewell

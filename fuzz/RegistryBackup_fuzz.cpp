// The REGEDIT4 backup writer, as a round trip: entries made from the input are written by two
// backups into one in-memory file (the second appends), and the file is read back by a strict
// REGEDIT4 reader of this test's own. Properties:
// - what was written reads back as the same sections, names, types and bytes, in order, under
//   one "REGEDIT4" header; no continued line of bytes is longer than 80 characters;
// - a batch holding an entry the file cannot carry (a name with a line break or NUL, a name or
//   text outside the file's code page) is refused as a whole and leaves the file as it was;
//   every other batch is written;
// - a folder that cannot be made, or a write that fails, reports so.
#include "FuzzSupport.h"
#include "startup_entries/RegistryBackup.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

using namespace tidewell;

namespace {

constexpr std::string_view kCurrentUserRun =
    "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view kLocalMachineRun =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class MemoryFiles final : public TextFilePort {
public:
    std::set<std::string> folders;
    std::map<std::string, std::string> files;
    bool refuseFolders = false;
    bool refuseWrites = false;

    bool FolderExists(std::string_view path) override { return folders.count(std::string(path)); }
    bool CreateFolder(std::string_view path) override {
        if (refuseFolders)
            return false;
        folders.insert(std::string(path));
        return true;
    }
    bool FileExists(std::string_view path) override { return files.count(std::string(path)); }
    std::optional<std::string> ReadText(std::string_view path) override {
        const auto it = files.find(std::string(path));
        return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    // A code page of ASCII only.
    std::optional<std::string> FileBytes(std::string_view text) override {
        for (const char c : text)
            if (static_cast<unsigned char>(c) >= 0x80)
                return std::nullopt;
        return std::string(text);
    }
    bool WriteText(std::string_view path, std::string_view text, Mode mode) override {
        if (refuseWrites)
            return false;
        std::string& file = files[std::string(path)];
        if (mode == Mode::Create)
            file.clear();
        file += text;
        return true;
    }
};

// ---- a strict REGEDIT4 reader ----------------------------------------------------------------

struct ReadValue {
    std::string section;
    std::string name; // "" for @
    std::uint32_t type = 0;
    std::string bytes;
};

// A quoted string starting at `at` (on the opening quote): \\ and \" are the only escapes.
std::optional<std::string> ReadQuoted(std::string_view line, std::size_t& at) {
    if (at >= line.size() || line[at] != '"')
        return std::nullopt;
    std::string text;
    for (++at; at < line.size(); ++at) {
        const char c = line[at];
        if (c == '"') {
            ++at;
            return text;
        }
        if (c == '\\') {
            if (++at >= line.size() || (line[at] != '\\' && line[at] != '"'))
                return std::nullopt;
            text += line[at];
        } else {
            text += c;
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> ReadHexNumber(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

// "xx,xx,...,xx" (or nothing) as bytes.
std::optional<std::string> ReadHexBytes(std::string_view text) {
    std::string bytes;
    while (!text.empty()) {
        const auto byte = ReadHexNumber(text.substr(0, 2), 2);
        if (text.size() < 2 || !byte)
            return std::nullopt;
        bytes += static_cast<char>(*byte);
        text.remove_prefix(2);
        if (!text.empty()) {
            if (text.front() != ',' || text.size() == 1)
                return std::nullopt;
            text.remove_prefix(1);
        }
    }
    return bytes;
}

// The data after "=": "text", dword:xxxxxxxx, hex:..., hex(N):...
bool ReadData(std::string_view data, ReadValue& value) {
    std::size_t at = 0;
    if (data.starts_with("\"")) {
        const auto text = ReadQuoted(data, at);
        if (!text || at != data.size())
            return false;
        value.type = 1;
        value.bytes = *text + std::string(1, '\0');
        return true;
    }
    if (data.starts_with("dword:")) {
        const auto number = ReadHexNumber(data.substr(6), 8);
        if (!number || data.size() != 14)
            return false;
        value.type = 4;
        for (int i = 0; i < 4; ++i)
            value.bytes += static_cast<char>((*number >> (8 * i)) & 0xFF);
        return true;
    }
    if (data.starts_with("hex:")) {
        value.type = 3;
        at = 4;
    } else if (data.starts_with("hex(")) {
        const std::size_t close = data.find("):");
        const auto type = close == std::string_view::npos
                              ? std::nullopt
                              : ReadHexNumber(data.substr(4, close - 4), 8);
        if (!type)
            return false;
        value.type = *type;
        at = close + 2;
    } else {
        return false;
    }
    const auto bytes = ReadHexBytes(data.substr(at));
    if (!bytes)
        return false;
    value.bytes = *bytes;
    return true;
}

// Lines end in CR LF; the first is "REGEDIT4"; blank lines, "[section]" lines and
// "name"=value lines follow, a line of bytes continued by "\\" and two blanks on the next.
// Anything else makes the file unreadable.
std::optional<std::vector<ReadValue>> ReadRegedit4(std::string_view file) {
    std::vector<std::string> lines;
    bool continued = false;
    while (!file.empty()) {
        const std::size_t end = file.find("\r\n");
        if (end == std::string_view::npos)
            return std::nullopt; // a last line without its line end
        std::string_view line = file.substr(0, end);
        file.remove_prefix(end + 2);
        const bool continuation = continued;
        if (continuation) {
            if (!line.starts_with("  "))
                return std::nullopt;
            line.remove_prefix(2);
            lines.back() += line;
        } else {
            lines.emplace_back(line);
        }
        continued = line.ends_with(",\\");
        if (continued) {
            // Only the first line, after a long name, may be longer.
            if (continuation && end > 80)
                return std::nullopt;
            lines.back().pop_back();
        }
    }
    if (continued || lines.empty() || lines.front() != "REGEDIT4")
        return std::nullopt;
    std::vector<ReadValue> values;
    std::string section;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.empty())
            continue;
        if (line.find_first_of("\r\n") != std::string_view::npos)
            return std::nullopt;
        if (line.front() == '[') {
            if (line.back() != ']')
                return std::nullopt;
            section = line.substr(1, line.size() - 2);
            continue;
        }
        if (section.empty())
            return std::nullopt;
        ReadValue value{section, {}, 0, {}};
        std::size_t at = 0;
        if (line.starts_with("@=")) {
            at = 1;
        } else {
            const auto name = ReadQuoted(line, at);
            if (!name || name->empty() || at >= line.size() || line[at] != '=')
                return std::nullopt;
            value.name = *name;
        }
        if (!ReadData(line.substr(at + 1), value))
            return std::nullopt;
        values.push_back(std::move(value));
    }
    return values;
}

// ---- entries from the input ------------------------------------------------------------------

BackupEntry MakeEntry(FuzzedDataProvider& input) {
    BackupEntry entry{input.ConsumeBool() ? kHkeyCurrentUser : kHkeyLocalMachine,
                      input.ConsumeRandomLengthString(64),
                      {}};
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
        entry.data = RegistryData::Text(input.ConsumeRandomLengthString(256));
        break;
    case 1:
        entry.data = RegistryData::Number(input.ConsumeIntegral<std::int32_t>());
        break;
    case 2:
        entry.data = RegistryData::ExpandText(input.ConsumeRandomLengthString(128));
        break;
    case 3: {
        std::vector<std::string> strings(input.ConsumeIntegralInRange<std::size_t>(0, 4));
        for (std::string& text : strings)
            text = input.ConsumeRandomLengthString(32);
        entry.data = RegistryData::Strings(std::move(strings));
        break;
    }
    case 4: {
        const std::string bytes = input.ConsumeRandomLengthString(300);
        entry.data = RegistryData::Bytes(input.ConsumeIntegral<std::uint32_t>(),
                                         std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        break;
    }
    default:
        break; // Empty
    }
    return entry;
}

bool Ascii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

bool Exportable(const BackupEntry& entry) {
    if (entry.name.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos ||
        !Ascii(entry.name))
        return false;
    switch (entry.data.GetKind()) {
    case RegistryData::Kind::Text:
        return Ascii(entry.data.GetText());
    case RegistryData::Kind::Strings:
        for (const std::string& text : entry.data.GetStrings())
            if (!Ascii(text))
                return false;
        return true;
    default:
        return true;
    }
}

// The type and bytes regedit would store for the entry's data.
std::pair<std::uint32_t, std::string> Stored(const RegistryData& data) {
    switch (data.GetKind()) {
    case RegistryData::Kind::Empty:
        return {1, std::string(1, '\0')};
    case RegistryData::Kind::Text:
        return {data.Type(), data.GetText() + std::string(1, '\0')};
    case RegistryData::Kind::Number: {
        std::string bytes;
        for (int i = 0; i < 4; ++i)
            bytes +=
                static_cast<char>((static_cast<std::uint32_t>(data.AsNumber()) >> (8 * i)) & 0xFF);
        return {data.Type(), bytes};
    }
    case RegistryData::Kind::Strings: {
        std::string bytes;
        for (const std::string& text : data.GetStrings())
            bytes += text + std::string(1, '\0');
        return {data.Type(), bytes + std::string(1, '\0')};
    }
    case RegistryData::Kind::Bytes:
        break;
    }
    return {data.Type(), std::string(data.GetBytes().begin(), data.GetBytes().end())};
}

bool SameValue(const ReadValue& read, const BackupEntry& entry) {
    return read.section == (entry.root == kHkeyCurrentUser ? kCurrentUserRun : kLocalMachineRun) &&
           read.name == entry.name && std::make_pair(read.type, read.bytes) == Stored(entry.data);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    MemoryFiles files;
    const BackupLocation location = DefaultBackupLocation();
    std::vector<BackupEntry> inFile;

    for (int batch = 0; batch < 2; ++batch) {
        std::vector<BackupEntry> entries(input.ConsumeIntegralInRange<std::size_t>(0, 6));
        for (BackupEntry& entry : entries)
            entry = MakeEntry(input);
        const int failure = input.ConsumeIntegralInRange(0, 7); // 0: folders, 1: write, else none
        files.refuseFolders = failure == 0 && files.folders.empty();
        files.refuseWrites = failure == 1;
        const auto before = files.files;

        const BackupResult result = WriteRegistryBackup(files, location, entries);
        bool exportable = true;
        for (const BackupEntry& entry : entries)
            exportable = exportable && Exportable(entry);
        if (!exportable) {
            FUZZ_CHECK(result == BackupResult::NotExportable);
        } else if (files.refuseFolders) {
            FUZZ_CHECK(result == BackupResult::FolderNotCreated);
        } else if (files.refuseWrites) {
            FUZZ_CHECK(result == BackupResult::FileNotWritten);
        } else {
            FUZZ_CHECK(result == BackupResult::Written);
            inFile.insert(inFile.end(), entries.begin(), entries.end());
        }
        if (result != BackupResult::Written) {
            FUZZ_CHECK(files.files == before);
            continue;
        }
        for (const std::string& folder : location.folders)
            FUZZ_CHECK(files.folders.count(folder));

        const auto file = files.files.find(location.file);
        FUZZ_CHECK(file != files.files.end());
        const auto read = ReadRegedit4(file->second);
        FUZZ_CHECK(read.has_value());
        FUZZ_CHECK(read->size() == inFile.size());
        for (std::size_t i = 0; i < inFile.size(); ++i)
            FUZZ_CHECK(SameValue((*read)[i], inFile[i]));
    }
    return 0;
}

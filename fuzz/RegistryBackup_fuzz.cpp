// The REGEDIT4 backup writer, as a round trip: entries made from the input are written by two
// backups into one in-memory file (the second appends), and the file is read back by a strict
// REGEDIT4 reader of this test's own. Properties:
// - what was written reads back as the same sections, names and data, in order, under one
//   "REGEDIT4" header;
// - a batch holding an entry the format cannot carry (an array, a line break or NUL) is refused as
//   a whole and leaves the file as it was; every other batch is written;
// - a folder that cannot be made, or a write that fails, reports so.
#include "FuzzSupport.h"
#include "startup_entries/RegistryBackup.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <map>
#include <optional>
#include <set>
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
    std::string name;
    std::optional<std::string> text;    // a "..." value
    std::optional<std::uint32_t> dword; // a dword:xxxxxxxx value
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

std::optional<std::uint32_t> ReadDword(std::string_view digits) {
    if (digits.size() != 8)
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

// Lines end in CR LF; the first is "REGEDIT4"; blank lines, "[section]" lines and
// "name"=value lines follow. Anything else makes the file unreadable.
std::optional<std::vector<ReadValue>> ReadRegedit4(std::string_view file) {
    std::vector<std::string_view> lines;
    while (!file.empty()) {
        const std::size_t end = file.find("\r\n");
        if (end == std::string_view::npos)
            return std::nullopt; // a last line without its line end
        lines.push_back(file.substr(0, end));
        file.remove_prefix(end + 2);
    }
    if (lines.empty() || lines.front() != "REGEDIT4")
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
        ReadValue value{section, {}, {}, {}};
        std::size_t at = 0;
        const auto name = ReadQuoted(line, at);
        if (!name || at >= line.size() || line[at] != '=')
            return std::nullopt;
        value.name = *name;
        ++at;
        if (line.substr(at).starts_with("dword:")) {
            value.dword = ReadDword(line.substr(at + 6));
            if (!value.dword)
                return std::nullopt;
        } else {
            value.text = ReadQuoted(line, at);
            if (!value.text || at != line.size())
                return std::nullopt;
        }
        values.push_back(std::move(value));
    }
    return values;
}

// ---- entries from the input ------------------------------------------------------------------

BackupEntry MakeEntry(FuzzedDataProvider& input) {
    BackupEntry entry{input.ConsumeBool() ? kHkeyCurrentUser : kHkeyLocalMachine,
                      input.ConsumeRandomLengthString(64),
                      {}};
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0:
        entry.data = RegistryData::Text(input.ConsumeRandomLengthString(256));
        break;
    case 1:
        entry.data = RegistryData::Number(input.ConsumeIntegral<std::int32_t>());
        break;
    case 2:
        entry.data = RegistryData::NoText();
        break;
    default:
        break; // Empty
    }
    return entry;
}

bool HasBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool Exportable(const BackupEntry& entry) {
    if (HasBreakOrNul(entry.name))
        return false;
    const auto text = entry.data.AsText();
    return entry.data.GetKind() != RegistryData::Kind::NoText && text && !HasBreakOrNul(*text);
}

bool SameValue(const ReadValue& read, const BackupEntry& entry) {
    if (read.section != (entry.root == kHkeyCurrentUser ? kCurrentUserRun : kLocalMachineRun) ||
        read.name != entry.name)
        return false;
    if (entry.data.GetKind() == RegistryData::Kind::Number)
        return read.dword == static_cast<std::uint32_t>(entry.data.AsNumber());
    return read.text == entry.data.AsText();
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

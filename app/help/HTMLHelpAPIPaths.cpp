// The HTML Help class's path resolution: where a help file is (the program's folder or the
// folder registered for it), the long form of a path, and the registry strings it reads.
#include "help/HTMLHelpAPI.h"

#include "help/HelpText.h"
#include "help/HelpVersionTables.h"
#include "ports/Process.h"

#include <array>
#include <utility>

namespace tidewell::help {

using text::EndsWithNoCase;
using text::EqualsNoCase;
using text::HasWildcard;
using text::InFolder;
using text::TrimNull;

namespace {

std::optional<std::uint32_t> RootKey(std::string_view abbreviation) {
    static constexpr std::array<std::pair<std::string_view, std::uint32_t>, 6> kRoots{{
        {"hkcu", reg::kCurrentUser},
        {"hklm", reg::kLocalMachine},
        {"hku", reg::kUsers},
        {"hkcc", reg::kCurrentConfig},
        {"hkdd", reg::kDynData},
        {"hkcr", reg::kClassesRoot},
    }};
    const std::string lowered = text::Lowered(abbreviation);
    for (const auto& [name, root] : kRoots) {
        if (lowered == name) {
            return root;
        }
    }
    return std::nullopt;
}

} // namespace

std::string HTMLHelpAPI::HHSetHelpFile(std::int16_t intSelHelpFile) const {
    switch (intSelHelpFile) {
    case 1:
        return ProgramFolder() + "\\" + std::string(kHelpFileName);
    case 2:
        return std::string(kPopupFileName);
    default:
        return {};
    }
}

bool HTMLHelpAPI::EnsureFileExists(std::string& FileToFind) {
    if (FileToFind.find('\\') == std::string::npos) {
        // Only a help file name can be registered; any other bare name would pick up whatever
        // the last registry check left behind.
        bool registered = false;
        if (IsValidHelpFile(FileToFind)) {
            std::string check = FileToFind;
            HHCheckRegistry(check);
            registered = !hhRegFileName_.empty();
        }
        FileToFind = registered ? InFolder(hhRegFilePath_, hhRegFileName_)
                                : ProgramFolder() + "\\" + FileToFind;
    }
    // A wildcard would let the search "find" some other file.
    if (!HasWildcard(FileToFind) && ports_.system.FindFile(FileToFind)) {
        return true;
    }
    ShowErrorMessage("The file " + FileToFind + " does not exist." + "\n" +
                     "Please make sure that you have installed Orvane Help files");
    return false;
}

bool HTMLHelpAPI::IsValidHelpFile(std::string_view name) const {
    return EndsWithNoCase(name, "chm");
}

bool HTMLHelpAPI::IsValidPopupFile(std::string_view name) const {
    return EndsWithNoCase(name, "txt");
}

std::optional<std::string> HTMLHelpAPI::GetRegistryString(std::string_view root,
                                                          std::string_view key,
                                                          std::string_view valueName) {
    const auto rootKey = RootKey(root);
    if (!rootKey) {
        return std::nullopt;
    }
    auto opened = ports_.registry.OpenKey(*rootKey, key, reg::kQueryValue);
    if (!opened) {
        return std::nullopt;
    }
    std::optional<std::string> found;
    for (std::uint32_t index = 0;; ++index) {
        const auto entry = opened->EnumValue(index);
        if (!entry) {
            break;
        }
        if ((entry->type == reg::kSz || entry->type == reg::kExpandSz) &&
            EqualsNoCase(entry->name, valueName)) {
            if (const auto data = opened->QueryValue(entry->name)) {
                found = data->type == reg::kExpandSz ? ports_.system.ExpandEnvironment(data->text)
                                                     : data->text;
            }
            break;
        }
    }
    opened->Close();
    return found;
}

bool HTMLHelpAPI::HasLongPathFunction() {
    const auto version = ports_.system.WindowsVersionInfo();
    if (!version) {
        return false;
    }
    // Every NT release after 5 has the long-path function too, though its code reads 0.
    return versions::WindowsCode(*version) >= 4 ||
           (version->platformId == kPlatformNt && version->majorVersion > 5);
}

std::string HTMLHelpAPI::GetLongName(std::string_view path) {
    if (HasLongPathFunction()) {
        return ports_.system.LongPathName(path).value_or(std::string(path));
    }
    return WalkLongName(path);
}

std::string HTMLHelpAPI::WalkLongName(std::string_view path) {
    if (!path.empty() && path.front() == '"') {
        path.remove_prefix(1);
    }
    if (!path.empty() && path.back() == '"') {
        path.remove_suffix(1);
    }
    // The walk needs a drive; anything else, or a part that cannot be found, stays as given
    // rather than shrinking to the folders found so far.
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') {
        return std::string(path);
    }
    std::string longName(path.substr(0, 2));
    std::string_view rest = path.substr(3);
    for (auto slash = rest.find('\\'); slash != std::string_view::npos; slash = rest.find('\\')) {
        const std::string_view part = rest.substr(0, slash);
        if (part.empty() || HasWildcard(part)) {
            return std::string(path);
        }
        const auto found = ports_.system.FindFile(longName + "\\" + std::string(part));
        if (!found) {
            return std::string(path);
        }
        longName += "\\" + TrimNull(*found);
        rest.remove_prefix(slash + 1);
    }
    return longName + "\\" + std::string(rest);
}

std::string HTMLHelpAPI::ProgramFolder() const {
    std::string folder = ports_.process.ExecutableFolder();
    if (!folder.empty() && folder.back() == '\\') {
        folder.pop_back();
    }
    return folder;
}

} // namespace tidewell::help

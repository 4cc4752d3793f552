#pragma once

#include <string>

namespace tidewell {

class ProcessPort {
public:
    virtual ~ProcessPort() = default;
    // The arguments after the program's own name, as one text; the core only tests it for empty.
    virtual std::string CommandLine() const = 0;
    // The executable's own file name without folder and extension ("tidewell").
    virtual std::string ExecutableName() const = 0;
    // The executable's folder, without a trailing backslash.
    virtual std::string ExecutableFolder() const = 0;
    // Ends the process at once. The real one does not return; a fake records the call and returns,
    // so every caller returns straight after calling it.
    virtual void EndProcess() = 0;
};

} // namespace tidewell

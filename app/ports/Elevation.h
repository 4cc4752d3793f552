#pragma once

namespace tidewell {

// What a start without administrator rights got when it asked to be started again with them.
enum class ElevatedStart { Started, Declined, Failed };

// The process's administrator rights. The program's settings and its start-up entry live under
// HKEY_LOCAL_MACHINE, so a start that goes on needs them; a start that ends does not.
class ElevationPort {
public:
    virtual ~ElevationPort() = default;
    // True when the process has administrator rights (also where the system has no such split).
    virtual bool IsElevated() const = 0;
    // Starts this program again, with administrator rights and the same command line. Returns
    // once the new process was started, or the user declined the prompt, or the start failed.
    virtual ElevatedStart StartElevated() = 0;
};

} // namespace tidewell

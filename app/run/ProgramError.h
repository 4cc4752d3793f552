#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tidewell {

// An error raised by one of the program's own module functions: number, source, description.
class ProgramError : public std::runtime_error {
public:
    ProgramError(std::int32_t number, std::string source, const std::string& description)
        : std::runtime_error(description), number_(number), source_(std::move(source)) {}

    std::int32_t Number() const { return number_; }
    const std::string& Source() const { return source_; }
    std::string Description() const { return what(); }

private:
    std::int32_t number_;
    std::string source_;
};

} // namespace tidewell

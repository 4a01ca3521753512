#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace oraemu {

// An Oracle error: its number and its text. message() is the "ORA-nnnnn: text" line.
class OraError : public std::exception {
public:
    OraError(int code, std::string text);
    int code() const noexcept { return code_; }
    const std::string& message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

    // The 0-based iteration of an array DML that failed (0 for a single execution).
    std::uint32_t rowOffset() const noexcept { return rowOffset_; }
    void setRowOffset(std::uint32_t offset) noexcept
    {
        rowOffset_ = offset;
        rowFailure_ = true;
    }
    // The error belongs to one iteration's values (set with the row offset), not to the statement.
    bool isRowFailure() const noexcept { return rowFailure_; }

private:
    int code_;
    std::string message_;
    std::uint32_t rowOffset_ = 0;
    bool rowFailure_ = false;
};

// "ORA-00904: "NAME": invalid identifier"
[[noreturn]] void throwInvalidIdentifier(const std::string& name);

}  // namespace oraemu

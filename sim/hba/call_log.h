// The call log: with SANSIM_CALL_LOG naming a file, every call of the simulated library
// appends one line to it, so that tests can check which calls were made, in which order
// and with which arguments.
//
// Line format (one call per line, "\n" ended):
//   <call>[ <key>=<value>]...[ -> <key>=<value>[ <key>=<value>]...]
// The call is the API name (HBA_OpenAdapter). Arguments follow in the call's order; after
// " -> " come the results (absent for calls that return nothing). Values are decimal
// numbers, except: WWNs, LUNs and byte strings as upper-case hexadecimal, two digits per
// byte, no separators; page codes as two hexadecimal digits; texts in double quotes, with
// '"', '\' and bytes outside 0x20-0x7E written \xNN.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace sansim {

class CallLine {
public:
    explicit CallLine(std::string_view call);
    CallLine& number(std::string_view key, uint64_t value);
    CallLine& hex(std::string_view key, std::span<const uint8_t> bytes);
    CallLine& page(std::string_view key, uint32_t value);
    CallLine& text(std::string_view key, std::string_view value);
    // Starts the results.
    CallLine& results();
    // Appends the line to the log file, when there is one. Never fails the call.
    void write() const;

private:
    std::string line_;
};

}  // namespace sansim

// Runs a program of the build as a child process and captures what it prints, for tests
// that check the scanner end to end. POSIX only: the Windows build's end-to-end runs go
// through scripts that start the program under wine.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace testsupport {

struct ProgramResult {
    int exitCode = -1;  // -1 when the program could not be started or was killed
    std::string out;
    std::string err;
};

// Where the program's standard output goes: captured, a full device, or nowhere (closed).
enum class StandardOutput { Captured, DevFull, Closed };

// Runs program with args; env entries are set (an empty value removes the variable)
// on top of the test's own environment.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env = {},
                         StandardOutput output = StandardOutput::Captured);

// The whole content of a file (empty when it cannot be read).
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);

// Runs the scanner (attrscan of this build, with the simulated HBA library) with the
// arguments 10.1.1.1 scanner GUID and a properties file in home that writes the trace
// logger's basic records to home/trace.log, fields separated by '|' and the date shown
// as "T". The world comes from the caller's environment (SANSIM_WORLD). Returns the
// program's result and sets trace to the file's content (empty when nothing was written).
ProgramResult runScanWithTrace(const std::string& home, std::string& trace);

// One basic record of the trace written by runScanWithTrace, with its newline.
std::string traceRecord(const std::string& source, const std::string& method, int line, const std::string& text);

// Finds records in trace in this order (other records may stand between them). Returns an
// empty string when all are there and sets end (if given) to the offset after the last
// one; else names the first record missing.
std::string missingInOrder(const std::string& trace, const std::vector<std::string>& records,
                           std::size_t* end = nullptr);

// Compares text with the golden file; when the environment variable UPDATE_GOLDEN is set,
// rewrites the golden file instead. Returns an empty string on match, else a description
// of the first difference (line number and both lines).
std::string compareWithGolden(const std::string& goldenPath, const std::string& text);

}  // namespace testsupport

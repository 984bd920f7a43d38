// The process's own texts and streams, which differ between the two builds: the command
// line and every text a Win32 "A" call returns are in the active ANSI code page on
// Windows, while the documents are UTF-8; and a POSIX process may be started with a
// standard descriptor closed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A text from the host's ANSI calls, in UTF-8. Windows: converted from the active ANSI
// code page (every code page Windows may run with, the double-byte ones included); a
// text the code page cannot decode is returned unchanged, and the document writers
// escape what is not UTF-8. POSIX: unchanged, since the simulated host is UTF-8 already.
std::string hostText(std::string_view text);

// The program's arguments without its name, each through hostText.
std::vector<std::string> programArguments(int argc, char** argv);

// POSIX: opens /dev/null on any of the descriptors 0 to 2 that is closed, so that no
// file the run opens later takes its number; standard output is then held read-only,
// so the document's writes fail and are reported instead of landing in that file.
// Windows: nothing.
void holdStandardStreams();

}  // namespace platform

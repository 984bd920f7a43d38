// The two facts that locale resolution asks of the operating system: the user's default
// language and the code pages of the user's default locale. One backend per build.
#pragma once

#include <string>

// Windows language identifier of the user default language (primary language in the low
// 10 bits, sub-language above).
unsigned nlq_platform_user_langid();

// The user default locale's OEM code page (`oem` true) or ANSI code page as the decimal
// text the system gives; empty when the query fails.
std::string nlq_platform_code_page(bool oem);

// Sets an environment variable; the environment keeps its own copy. False on failure.
bool nlq_platform_setenv(const char* name, const char* value);

// Separator of the folder paths built for the aliases file and codeset tables. Windows
// paths use '\'; the POSIX build uses '/' in the same places.
#ifdef _WIN32
inline constexpr char kNlqPathSeparator = '\\';
#else
inline constexpr char kNlqPathSeparator = '/';
#endif

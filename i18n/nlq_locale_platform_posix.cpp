// POSIX backend. The POSIX build stands in for a Windows host with United States English
// settings (the answers a fresh wine prefix gives: language 0x409, OEM code page 437,
// ANSI code page 1252), so both builds resolve the same locale and codeset names.
#include "i18n/nlq_locale_platform.h"

unsigned nlq_platform_user_langid()
{
    return 0x0409;
}

std::string nlq_platform_code_page(bool oem)
{
    return oem ? "437" : "1252";
}

#include <cstdlib>

bool nlq_platform_setenv(const char* name, const char* value)
{
    return ::setenv(name, value, 1) == 0;
}

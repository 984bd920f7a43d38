// Windows backend: the user default language and the default locale's code pages.
#include "i18n/nlq_locale_platform.h"

#include <windows.h>

unsigned nlq_platform_user_langid()
{
    return GetUserDefaultLangID();
}

std::string nlq_platform_code_page(bool oem)
{
    char text[16] = {};
    const LCTYPE what = oem ? LOCALE_IDEFAULTCODEPAGE : LOCALE_IDEFAULTANSICODEPAGE;
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, what, text, sizeof text) <= 0)
        return {};
    text[sizeof text - 1] = '\0';
    return text;
}

bool nlq_platform_setenv(const char* name, const char* value)
{
    // The runtime library copies the pair; an empty value would remove the variable, so
    // that is what an empty value means here as well.
    return _putenv_s(name, value) == 0;
}

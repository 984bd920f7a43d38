// The internationalisation services in one include: codeset conversion, locale and
// codeset resolution, message catalogs.
#pragma once

#include "i18n/nlq_catalog.h"
#include "i18n/nlq_codeset.h"
#include "i18n/nlq_locale.h"

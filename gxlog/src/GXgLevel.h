// Levels: keyword parsing and the level test shared by GXgIsLoggable and the logging calls.
#pragma once

#include "gxlog/src/GXgLog.h"

namespace gxlog {

// The level of a keyword. A null text is GXG_LEVEL_UNSET. Otherwise the text is compared,
// ignoring case and over the keyword's own length only, with OFF, FATAL, ERROR, WARN,
// INFO, DEBUG_MIN, DEBUG_MID, DEBUG_MAX, ALL in that order; the first match wins
// ("Warning" is WARN, "offset" is OFF). No match is GXG_LEVEL_UNSET.
GXgLevel GXgLevelFromKeyword(const char* text);

// The logger's level test: an unset event level or an unset object level passes;
// otherwise the event passes when it is at least the object's level.
inline bool GXgLevelPasses(GXgLevel objectLevel, GXgLevel eventLevel) {
    if (eventLevel == GXG_LEVEL_UNSET || objectLevel == GXG_LEVEL_UNSET) return true;
    return eventLevel >= objectLevel;
}

// True for the values that may stand as level markers in an item list.
bool GXgIsLevelMarker(int marker);

}  // namespace gxlog

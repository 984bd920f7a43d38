// The properties reader: reads a properties file (such as nativelog.properties) into
// the configuration registry. Each line "object.name.property = value" sets `property`
// on the node `object.name`.
//
// Syntax: blank lines and lines starting (after blanks) with '#' or '!' are ignored; the
// key ends at the first unescaped blank (tab, vertical tab, form feed, space), ':' or
// '='; a backslash before a blank, ':', '=' or '\' puts that byte into the key. In a
// value a backslash before a blank, '"', '\'' or '\' stands for that byte, "\uXXXX" (or
// "\UXXXX") is a code point stored as UTF-8, and a backslash at the end of a line
// continues the value on the next line (leading blanks there are skipped); any other
// escape ("\n", "\=") is an error. CR, LF, CR LF and LF CR end a line. A last line
// without a line end is stored.
#pragma once

#include "gxlog/src/GXgConfig.h"

namespace gxlog {

// True when the whole file was read and every entry stored. On failure the entries
// stored before it stay in the registry. A bad escape in a value is reported on
// standard error (GXG0052E).
bool GXgReadProps(const char* path, GXgConfigRegistry& registry);

// The same reader over bytes already in memory (no file access); used by the file
// reader and by tests and fuzzing.
bool GXgReadPropsText(std::string_view text, GXgConfigRegistry& registry);

}  // namespace gxlog

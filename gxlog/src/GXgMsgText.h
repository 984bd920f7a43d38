// Message text: rendering a message (catalog text or default text, formatted with the
// message's parameters), rendering one parameter, writing text to the console in the
// console codeset, and the channel through which the toolkit reports its own problems.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "gxlog/src/GXgLog.h"
#include "gxlog/src/GXgMessage.h"
#include "gxlog/src/GXgZurBridge.h"

namespace gxlog {

// ---- The toolkit's own diagnostics -------------------------------------------------

// Receives every toolkit diagnostic as a ready message (catalog "gxgmsg", set 1, the
// key, the table text as default text, the parameters). The toolkit start-up installs a
// channel that logs on the error logger; without one, diagnostics are dropped (as
// they are while the toolkit is not started).
using ToolkitMsgChannel = void (*)(GXgLevel level, GXgI18Msg message);
void setToolkitMsgChannel(ToolkitMsgChannel channel);

// Reports the table message `key` with the parameters through the channel.
void toolkitMsg(GXgLevel level, int key, GXgParmList params = {});

// The text GXGBC0010E carries for a failed status: the layer's error text in UTF-8. A
// failure that carries no error number is described by its code (invalid argument, or
// an input/output error), never by the text of error 0, which reads "Success".
std::string zurFailureText(const ZurStatus& status);

// Reports a portability-layer failure as GXGBC0010E with zurFailureText.
void reportZurFailure(const ZurStatus& status);

// ---- Rendering ------------------------------------------------------------------------

// The text of a message in UTF-8. With a catalog, the catalog's text (the default text
// when the catalog cannot be opened or lacks the message; a catalog other than "gxgmsg"
// and "cffdc" that cannot be opened is reported as GXGBC02E). The text is formatted
// with the parameters; when that fails the result is the default text unchanged.
std::string messageText(const GXgI18Msg& message);

// One parameter as text: with the format when given, else by its type ("%d" for int and
// long, "%f" for float and double, "%s" for strings, "%c" for char and boolean). A
// format that cannot be applied gives the format itself.
std::string renderParm(const GXgParm& parm, const char* format = nullptr);

// ---- Console ----------------------------------------------------------------------------

// Writes UTF-8 text to standard output or standard error in the console codeset (at
// most 4095 bytes of converted text).
void consoleWrite(std::FILE* stream, std::string_view utf8);

// Writes the table message `key` (formatted as any "gxgmsg" message) to standard error,
// followed by "\n". Used for start-up problems, before any logger exists.
void consoleMessage(int key, const GXgParmList& params = {});

}  // namespace gxlog

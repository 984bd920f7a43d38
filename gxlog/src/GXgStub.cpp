// Placeholder for the toolkit until its real implementation lands: it never starts, so
// callers see no logger and trace nothing.
#include "gxlog/src/GXgLog.h"

extern "C" {
bool GXgToolkitInit(const char*) { return false; }
GXgObject* GXgGetLogger(const char*, const char*) { return nullptr; }
bool GXgIsLoggable(GXgObject*, GXgLevel) { return false; }
void GXgLogTrace(GXgObject*, const char*, const char*, int, const char*, ...) {}
void GXgToolkitTerm(void) {}
void GXgLogTextV(GXgObject*, GXgLevel, const char*, const char*, int, const char*, va_list) {}
void GXgLogMsgV(GXgObject*, GXgLevel, const char*, int, int, const char*, va_list) {}
void GXgToolkitMsg(GXgLevel, int, const char*, ...) {}
}

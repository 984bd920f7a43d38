// The console handler: writes each formatted event to standard error in the console
// codeset, with the formatter's head before the first record and its tail at closing.
// Standard output belongs to the program's document: a console record there (a toolkit
// warning through gxlog.defaultConsole, or a trace line) would break it.
#include <cstdio>

#include "gxlog/src/GXgEvent.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgMsgText.h"
#include "gxlog/src/GXgObject.h"

namespace gxlog {

namespace {

struct ConsoleData final : GXgInstanceData {
    bool opened = false;
};

void write(const std::optional<std::string>& text) {
    if (text) consoleWrite(stderr, *text);
}

void consoleOpen(GXgObject* handler) {
    auto* data = handler->data<ConsoleData>();
    if (!data || data->opened) return;
    write(GXgHandlerHead(handler));
    data->opened = true;
}

void consoleClose(GXgObject* handler) {
    auto* data = handler->data<ConsoleData>();
    if (!data || !data->opened) return;
    write(GXgHandlerTail(handler));
    data->opened = false;
}

void consolePublish(GXgObject* handler, GXgEvent& event) {
    if (!handler->logging) return;
    consoleOpen(handler);
    write(GXgHandlerFormat(handler, event));
    GXgDistribute(handler, event);
}

std::unique_ptr<GXgInstanceData> createConsoleData(GXgObject*) { return std::make_unique<ConsoleData>(); }

}  // namespace

std::unique_ptr<GXgObjClass> makeConsoleHandlerClass() {
    auto cls = std::make_unique<GXgObjClass>();
    cls->kind = GXG_KIND_HANDLER;
    cls->name = kClassConsoleHandler;
    cls->description = GXgI18Msg{kToolkitCatalog, kToolkitSet, kMsgDescConsoleHandler,
                                 msgTableText(kMsgDescConsoleHandler), {}};
    cls->log = consolePublish;
    cls->open = consoleOpen;
    cls->close = consoleClose;
    cls->createInstance = createConsoleData;
    cls->configure = GXgConfigureFormatterName;
    return cls;
}

}  // namespace gxlog

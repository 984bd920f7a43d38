// The level filter: passes an event on to its own listeners when the event's level is
// at least the filter's (a filter level of 0 passes everything).
#include "gxlog/src/GXgEvent.h"
#include "gxlog/src/GXgMsgTable.h"
#include "gxlog/src/GXgObject.h"

namespace gxlog {

namespace {
void forward(GXgObject* filter, GXgEvent& event) { GXgDistribute(filter, event); }

void handle(GXgObject* filter, GXgEvent& event) {
    if (!filter->logging) return;
    const bool passes = filter->cls->levelTest ? filter->cls->levelTest(filter, event) : true;
    if (passes && filter->cls->forward) filter->cls->forward(filter, event);
}
}  // namespace

std::unique_ptr<GXgObjClass> makeLevelFilterClass() {
    auto cls = std::make_unique<GXgObjClass>();
    cls->kind = GXG_KIND_FILTER;
    cls->name = kClassLevelFilter;
    cls->description = GXgI18Msg{kToolkitCatalog, kToolkitSet, kMsgDescLevelFilter,
                                 msgTableText(kMsgDescLevelFilter), {}};
    cls->log = handle;
    cls->levelTest = GXgFilterLevelTest;
    cls->forward = forward;
    cls->configure = GXgConfigureLevel;
    return cls;
}

}  // namespace gxlog

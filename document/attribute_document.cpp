#include "document/attribute_document.h"

#include <cstdio>

#include "document/attribute_writer.h"

namespace doc {

int printAttributeXml(AttributeModel& m, const ScanParameters& params) {
    scan::DocumentOutput out(stdout);
    renderAttributeXml(m, params, out);
    return out.finish();
}

}  // namespace doc

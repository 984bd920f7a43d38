#include "document/attribute_document.h"

#include "document/attribute_writer.h"
#include "document/writer_parts.h"

namespace doc {

int printAttributeXml(const AttributeModel& m, const ScanParameters& params) {
    return printToStandardOutput(renderAttributeXml, m, params);
}

}  // namespace doc

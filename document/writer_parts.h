// Pieces the attribute and PE-mode writers share: prolog and DTD, header, controllers
// with their placeholder nodes, peripheral entities, and the id index that turns every
// reference rule ("each record of that list whose field equals this id") into a lookup.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/attribute_model.h"
#include "document/xml_out.h"

namespace doc {

// Records of one list grouped by a key text, each group in list order.
template <class Record>
class Index {
public:
    template <class List, class Key>
    Index(const List& list, Key key) {
        for (const Record& r : list) groups_[std::string_view(key(r))].push_back(&r);
    }
    const std::vector<const Record*>& find(std::string_view key) const {
        auto it = groups_.find(key);
        return it == groups_.end() ? empty_ : it->second;
    }
    const Record* first(std::string_view key) const {
        const auto& g = find(key);
        return g.empty() ? nullptr : g.front();
    }

private:
    std::unordered_map<std::string_view, std::vector<const Record*>> groups_;
    std::vector<const Record*> empty_;
};

// A document writer: prints a completed model, line by line.
using DocumentWriter = void (*)(const AttributeModel&, const ScanParameters&, scan::DocumentOutput&);

// The whole document as one text.
std::string renderText(DocumentWriter writer, const AttributeModel& model, const ScanParameters& params);
// Writes the document to standard output as it is rendered. Returns 0 when all of it was
// written, else the error number of the failed write.
int printToStandardOutput(DocumentWriter writer, const AttributeModel& model, const ScanParameters& params);

// The XML declaration, the DTD, the root's start tag and the header with its five
// parameters; option is empty in the full document, "PE" in the other.
void printDocumentStart(XmlOut& out, const ScanParameters& params, const std::string& systemId,
                        std::string_view option);

// Each controller with its FC-node references.
void printControllers(XmlOut& out, const std::vector<ControllerRecord>& controllers);

// Each peripheral entity with its FC-node references and its logical units' references.
void printPeripheralEntities(XmlOut& out, const AttributeModel& model);

}  // namespace doc

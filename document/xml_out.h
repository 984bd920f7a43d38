// Line-by-line document output shared by the writers: every printed text is escaped,
// every line ends with a newline, and the lines go to a document output that may hand
// them on to standard output as they come.
#pragma once

#include <string>
#include <string_view>

#include "common/document_output.h"
#include "common/text.h"
#include "document/records.h"

namespace doc {

class XmlOut {
public:
    explicit XmlOut(scan::DocumentOutput& out) : out_(out) {}

    // A line made of literal markup, escaped text, literal markup.
    void line(std::string_view open, std::string_view text, std::string_view close) {
        std::string& b = out_.buffer();
        b += open;
        scan::appendXmlEscaped(b, text);
        b += close;
        out_.endLine();
    }
    // The same with two escaped texts side by side.
    void line(std::string_view open, std::string_view a, std::string_view b, std::string_view close) {
        std::string& buffer = out_.buffer();
        buffer += open;
        scan::appendXmlEscaped(buffer, a);
        scan::appendXmlEscaped(buffer, b);
        buffer += close;
        out_.endLine();
    }
    void line(std::string_view literal) {
        out_.buffer() += literal;
        out_.endLine();
    }
    // Literal lines, each already ended by a newline (the DTDs).
    void lines(std::string_view literalLines) { out_.buffer() += literalLines; }

    // Form A: six blanks before ParameterXml, nine before its children.
    void parameterA(const ParameterNode& p) {
        line("      <ParameterXml>");
        line("         <NameXml>", p.name, "</NameXml>");
        line("         <ValueXml>", p.value, "</ValueXml>");
        line("      </ParameterXml>");
    }
    // Form B (logical and physical volumes): three blanks deeper.
    void parameterB(const ParameterNode& p) {
        line("         <ParameterXml>");
        line("            <NameXml>", p.name, "</NameXml>");
        line("            <ValueXml>", p.value, "</ValueXml>");
        line("         </ParameterXml>");
    }
    void parametersA(const ParameterList& list) {
        for (const auto& p : list.nodes()) parameterA(p);
    }
    void parametersB(const ParameterList& list) {
        for (const auto& p : list.nodes()) parameterB(p);
    }

private:
    scan::DocumentOutput& out_;
};

}  // namespace doc

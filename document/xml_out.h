// Line-by-line document output shared by the writers: every printed text is escaped,
// every line ends with a newline.
#pragma once

#include <string>
#include <string_view>

#include "common/text.h"
#include "document/records.h"

namespace doc {

class XmlOut {
public:
    explicit XmlOut(std::string& out) : out_(out) {}

    // A line made of literal markup, escaped text, literal markup.
    void line(std::string_view open, std::string_view text, std::string_view close) {
        out_ += open;
        scan::appendXmlEscaped(out_, text);
        out_ += close;
        out_ += '\n';
    }
    // The same with two escaped texts side by side.
    void line(std::string_view open, std::string_view a, std::string_view b, std::string_view close) {
        out_ += open;
        scan::appendXmlEscaped(out_, a);
        scan::appendXmlEscaped(out_, b);
        out_ += close;
        out_ += '\n';
    }
    void line(std::string_view literal) {
        out_ += literal;
        out_ += '\n';
    }

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
    std::string& out_;
};

}  // namespace doc

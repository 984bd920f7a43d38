#include "inventory/fs_summary.h"

#include <cstdio>

#include "document/xml_out.h"
#include "inventory/drive_survey.h"
#include "inventory/host_identity.h"

namespace inv {

namespace {

const char* const kDtdHead =
    "<!DOCTYPE AttributeXml [<!-- Attribute.dtd -->\n"
    "<!ELEMENT AttributeXml (HeaderXml, NTStorageAutomationHost?, SolarisStorageAutomationHost?, "
    "AIXStorageAutomationHost?, LinuxStorageAutomationHost?)>\n"
    "<!ELEMENT HeaderXml (ParameterXml*)>\n"
    "<!ELEMENT NTStorageAutomationHost (SystemResources, OperatingSystem,  FileSystemSummary)>\n"
    "<!ELEMENT SolarisStorageAutomationHost (SystemResources, OperatingSystem, FileSystemSummary, LogicalDevices)>\n"
    "<!ELEMENT AIXStorageAutomationHost (SystemResources, OperatingSystem, FileSystemSummary, LogicalDevices)>\n"
    "<!ELEMENT LinuxStorageAutomationHost (SystemResources, OperatingSystem, FileSystemSummary, LogicalDevices)>\n"
    "<!ELEMENT SystemResources EMPTY>\n"
    "<!ELEMENT OperatingSystem EMPTY>\n"
    "<!ELEMENT FileSystemSummary (FileSystem*)>\n"
    "<!ELEMENT FileSystem EMPTY>\n";

// Block A: the logical-device elements.
const char* const kLogicalDeviceElements =
    "<!ELEMENT LogicalDevices (VolumeGroup* | DiskGroup*)>\n"
    "<!ELEMENT VolumeGroup (LogicalVolume*)>\n"
    "<!ELEMENT LogicalVolume (FileSystem*)>\n"
    "<!ELEMENT DiskGroup (LogicalVolume*)>\n";

const char* const kHostAttributeLists =
    "<!ATTLIST SystemResources\n"
    "          hostName     CDATA #REQUIRED\n"
    "          architecture CDATA #REQUIRED\n"
    ">\n"
    "<!ATTLIST OperatingSystem\n"
    "          name    CDATA #REQUIRED\n"
    "          version CDATA #REQUIRED\n"
    ">\n"
    "<!ATTLIST FileSystem\n"
    "          name       CDATA #REQUIRED\n"
    "          label      CDATA #IMPLIED\n"
    "          type       CDATA #REQUIRED\n"
    "          mountPoint CDATA #IMPLIED\n"
    "          totalSpace CDATA #IMPLIED\n"
    "          size       CDATA #IMPLIED\n"
    "          freeSpace  CDATA #REQUIRED\n"
    ">\n";

// Block B: the attribute lists of volume groups, disk groups and logical volumes.
const char* const kLogicalDeviceAttributeLists =
    "<!ATTLIST VolumeGroup\n"
    "          name        CDATA #REQUIRED\n"
    "          id          CDATA #IMPLIED\n"
    "          maxLVs      CDATA #IMPLIED\n"
    "          maxPVs      CDATA #IMPLIED\n"
    "          vgState\t CDATA #IMPLIED\n"
    "          totalPVs\t CDATA #IMPLIED\n"
    "          stalePVs\t CDATA #IMPLIED\n"
    "          activePVs\t CDATA #IMPLIED\n"
    "          pPSize\t\t CDATA #IMPLIED\n"
    "          vGPermission CDATA #IMPLIED\n"
    "          maxPPsPerPV CDATA #IMPLIED\n"
    ">\n"
    "<!ATTLIST DiskGroup\n"
    "\t\t\t name        CDATA #IMPLIED\n"
    "\t\t\t id          CDATA #IMPLIED\n"
    ">\n"
    "<!ATTLIST LogicalVolume\n"
    "          name                  CDATA #IMPLIED\n"
    "          id                    CDATA #IMPLIED\n"
    "          type                  CDATA #IMPLIED\n"
    "          lPs                   CDATA #IMPLIED\n"
    "          pPs                   CDATA #IMPLIED\n"
    "          maxLPs                CDATA #IMPLIED\n"
    "          copies                CDATA #IMPLIED\n"
    "          eachCopyOnASeparatePV CDATA #IMPLIED\n"
    "\t\t\t maxSize               CDATA #IMPLIED\n"
    "\t\t\t totalSpace            CDATA #IMPLIED\n"
    "\t\t\t freeSpace             CDATA #IMPLIED\n"
    "\t\t\t layout                CDATA #IMPLIED\n"
    "\t\t\t columns               CDATA #IMPLIED\n"
    "\t\t\t width                 CDATA #IMPLIED\n"
    "\t\t\t copies \t\t\t   CDATA #IMPLIED\n"
    "\t\t\t logging\t\t\t   CDATA #IMPLIED\n"
    "\t\t\t logDevices\t\t\t   CDATA #IMPLIED\n"
    ">\n";

const char* const kDtdTail =
    "<!ELEMENT ParameterXml (NameXml, ValueXml)>\n"
    "<!ELEMENT NameXml (#PCDATA)>\n"
    "<!ELEMENT ValueXml (#PCDATA)>]> \n"
    "<!-- End Attribute.dtd -->\n";

// name="value" with the value escaped, so that no text from the host can end the
// attribute or open markup.
std::string attribute(std::string_view name, std::string_view value) {
    std::string out(name);
    out += "=\"";
    scan::appendXmlEscaped(out, value);
    out += '"';
    return out;
}

}  // namespace

void renderFileSystemSummaryXml(const doc::ScanParameters& params, const std::string& blockText,
                                scan::DocumentOutput& document) {
    doc::SystemRecord system = getSystemInfo(params.systemGuid);
    if (!params.systemGuid.empty()) system.id = params.systemGuid;
    const DriveList drives = collectDriveList();
    const doc::OperatingSystemRecord os = getNtSystemInfo(system);
    const bool logicalDevices = blockText == "FS";

    doc::XmlOut out(document);
    out.line("<?xml version=\"1.0\"?>");
    out.lines(kDtdHead);
    if (logicalDevices) out.lines(kLogicalDeviceElements);
    out.lines(kHostAttributeLists);
    if (logicalDevices) out.lines(kLogicalDeviceAttributeLists);
    out.lines(kDtdTail);

    out.line("<AttributeXml>");
    out.line("   <HeaderXml>");
    out.parameterA({"Agent Address", params.agentAddress});
    out.parameterA({"Scanner Name", params.scannerName});
    // The agent's port travels in the scan id: everything from the address's first colon.
    std::string scanId = "InbandAttribute:" + system.id;
    if (const auto colon = params.agentAddress.find(':'); colon != std::string::npos)
        scanId += params.agentAddress.substr(colon);
    out.parameterA({"Scan ID", scanId});
    out.parameterA({"Version", "1.3.0.52"});
    out.line("   </HeaderXml>");

    out.line("   <NTStorageAutomationHost>");
    out.line("      <SystemResources " + attribute("hostName", system.hostName) + " " +
             attribute("architecture", system.architecture) + "/>");
    out.line("      <OperatingSystem " + attribute("name", os.name) + " " + attribute("version", os.version) + "/>");
    for (const DriveRecord& d : drives) {
        if (d.type == kInvalidDriveType) continue;
        out.line("         <FileSystemSummary>");
        out.line("            <FileSystem " + attribute("name", d.letter) + " " + attribute("type", d.fileSystem) +
                 " " + attribute("mountPoint", d.letter) + " " + attribute("size", megabytesText(d.totalBytes)) +
                 " " + attribute("freeSpace", megabytesText(d.freeBytes)) + "/>");
        out.line("         </FileSystemSummary>");
    }
    out.line("   </NTStorageAutomationHost>");
    out.line("</AttributeXml>");
}

std::string renderFileSystemSummaryXml(const doc::ScanParameters& params, const std::string& blockText) {
    scan::DocumentOutput text;
    renderFileSystemSummaryXml(params, blockText, text);
    return text.text();
}

int printFileSystemSummaryXml(const doc::ScanParameters& params, const std::string& blockText) {
    scan::DocumentOutput out(stdout);
    renderFileSystemSummaryXml(params, blockText, out);
    return out.finish();
}

}  // namespace inv

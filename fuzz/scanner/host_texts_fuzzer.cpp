// Every host text from the fuzzer: host name and official name, volume labels and
// file-system names of two drives, and the registry identifiers of two disks, each a
// piece of the input (pieces separated by 0xFF bytes; bytes that are not UTF-8 become
// U+FFFD, since a world file is JSON). The first byte picks the document.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "fuzz/scanner/scan_harness.h"

namespace {

using Json = nlohmann::json;

Json drive(const char* letter, int type, const std::string& label, const std::string& fileSystem) {
    return Json{{"letter", letter},
                {"type", type},
                {"volume", {{"label", label.substr(0, 259)}, {"fileSystem", fileSystem.substr(0, 79)}}},
                {"freeSpace", {{"totalBytes", 1048576}, {"totalFreeBytes", 524288}}},
                {"device", {{"scsiAddress", {{"port", 0}, {"path", 0}, {"target", 0}, {"lun", 0}}}}}};
}

Json disk(const std::string& identifier) {
    return Json{{"name", "Disk"},
                {"values", {{{"name", "Type"}, {"type", "string"}, {"data", "DiskPeripheral"}},
                            {{"name", "Identifier"}, {"type", "string"}, {"data", identifier}}}}};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<std::string> t(8);
    std::size_t k = 0;
    for (std::size_t i = 1; i < size && k < t.size(); ++i) {
        if (data[i] == 0xFF) ++k;
        else t[k].push_back(static_cast<char>(data[i]));
    }
    const Json geometry = {{"cylinders", 1}, {"tracksPerCylinder", 1}, {"sectorsPerTrack", 1}, {"bytesPerSector", 512}};
    Json world = {{"host",
                   {{"hostName", t[0].substr(0, 254)},
                    {"lookup", {{"officialName", t[1]}, {"addresses", {"10.0.0.1"}}}},
                    {"drives", {drive("C", 3, t[2], t[3]), drive("E", 5, t[4], t[5])}},
                    {"physicalDrives", {{{"geometry", geometry}}, {{"geometry", geometry}}}},
                    {"registry", {{"keys", {{{"name", "HARDWARE"}, {"keys", {disk(t[6]), disk(t[7])}}}}}}}}}};
    fuzzscan::useWorld(world.dump(-1, ' ', false, Json::error_handler_t::replace));
    const auto mode = static_cast<driver::ScanMode>(data[0] % 3);
    fuzzscan::checkDocument(fuzzscan::scanDocument(nullptr, mode, data[0] & 4 ? "FS" : ""));
    return 0;
}

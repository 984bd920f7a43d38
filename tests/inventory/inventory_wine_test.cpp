// The Windows build against wine's real host services: the scanner's drives, file
// systems and physical disk 0 agree with what wine itself reports, and a hardware map
// that this test writes into the registry identifies the disk. The keys under
// HKLM\HARDWARE are volatile (as on Windows they can only be created so); they live as
// long as the wineserver, which this test process keeps alive while the scan runs.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/text.h"
#include "inventory/disk_survey.h"
#include "inventory/disk_text.h"
#include "inventory/drive_survey.h"
#include "inventory/registry_search.h"

namespace {

const std::string kUnitPath = "HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port 7\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0";
const std::string kTypesPath = "HARDWARE\\DEVICEMAP\\Scsi\\Attrscan Types";
const std::string kIdentifier = "  WINETEST   VIRTUAL \"DISK\"   <1.0>";
const std::string kCollapsed = "WINETEST VIRTUAL \"DISK\" <1.0>";

// Creates every missing key of the path as a volatile key; the last one stays open.
HKEY createVolatileKey(const std::string& path) {
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return status == ERROR_SUCCESS ? key : nullptr;
}

void setValue(HKEY key, const char* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS) << name;
}

void setText(HKEY key, const char* name, const std::string& text, DWORD type = REG_SZ) {
    setValue(key, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

class WineHost : public ::testing::Test {
protected:
    void SetUp() override {
        HKEY unit = createVolatileKey(kUnitPath);
        ASSERT_NE(unit, nullptr) << "cannot create " << kUnitPath;
        setText(unit, "Identifier", kIdentifier);
        setText(unit, "Type", "DiskPeripheral");
        RegCloseKey(unit);

        HKEY types = createVolatileKey(kTypesPath);
        ASSERT_NE(types, nullptr);
        setText(types, "sz", "  two   words ");
        setText(types, "expand", "%SystemRoot%\\x", REG_EXPAND_SZ);
        const uint8_t binary[] = {0x41, 0x42, 0x00, 0x43};
        setValue(types, "bin", REG_BINARY, binary, sizeof binary);
        const int32_t minusFive = -5;
        setValue(types, "dword", REG_DWORD, &minusFive, sizeof minusFive);
        const uint8_t bigOne[] = {0, 0, 0, 1};
        setValue(types, "dwordBig", REG_DWORD_BIG_ENDIAN, bigOne, sizeof bigOne);
        const char multi[] = "a b\0c\0";
        setValue(types, "multi", REG_MULTI_SZ, multi, sizeof multi);
        const uint64_t qword = 7;
        setValue(types, "qword", REG_QWORD, &qword, sizeof qword);
        RegCloseKey(types);
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port 7");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTypesPath.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port 7");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTypesPath.c_str());
    }
};

// Runs the Windows scanner of this build and returns its standard output with line
// ends as they came and as "\n".
struct Scan {
    std::string raw;
    std::string text;
};

Scan runScanner(const std::string& args) {
    std::string program = "Z:" ATTRSCAN_BINARY_DIR "/driver/attrscan.exe";
    for (char& c : program)
        if (c == '/') c = '\\';
    Scan scan;
    FILE* pipe = _popen((program + " " + args).c_str(), "rb");
    if (!pipe) return scan;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) scan.raw.append(buffer, n);
    _pclose(pipe);
    for (char c : scan.raw)
        if (c != '\r') scan.text.push_back(c);
    return scan;
}

std::string parameterB(const std::string& name, const std::string& value) {
    return "         <ParameterXml>\n            <NameXml>" + name + "</NameXml>\n            <ValueXml>" +
           scan::xmlEscape(value) + "</ValueXml>\n         </ParameterXml>\n";
}

std::string parameterA(const std::string& name, const std::string& value) {
    return "      <ParameterXml>\n         <NameXml>" + name + "</NameXml>\n         <ValueXml>" +
           scan::xmlEscape(value) + "</ValueXml>\n      </ParameterXml>\n";
}

// What wine reports for one drive, gathered the way an independent observer would.
struct WineDrive {
    char letter;
    UINT type;
    bool volumeRead;
    std::string fileSystem;
    std::string label;
    uint64_t totalBytes;
};

std::vector<WineDrive> wineDrives() {
    std::vector<WineDrive> drives;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
        WineDrive d{static_cast<char>('a' + i), GetDriveTypeA(root.c_str()), false, "", "", 0};
        char label[260] = {}, fs[80] = {};
        d.volumeRead = GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, fs, sizeof fs);
        if (d.volumeRead) {
            d.label = label;
            d.fileSystem = fs;
            ULARGE_INTEGER avail{}, total{}, free{};
            if (GetDiskFreeSpaceExA(root.c_str(), &avail, &total, &free)) d.totalBytes = total.QuadPart;
        }
        drives.push_back(d);
    }
    return drives;
}

TEST_F(WineHost, AttributeDocumentDescribesWinesDrivesAndDisk) {
    const Scan scan = runScanner("10.1.1.1:9570 scanner01 GUID-W");
    ASSERT_NE(scan.text.find("</AttributeXml>\n"), std::string::npos) << scan.text;
    EXPECT_NE(scan.raw.find("</AttributeXml>\r\n"), std::string::npos) << "text-mode line ends";

    int described = 0;
    for (const WineDrive& d : wineDrives()) {
        const std::string letter(1, d.letter);
        const bool isDescribed = d.type == DRIVE_FIXED || d.type == DRIVE_CDROM;
        EXPECT_EQ(scan.text.find("<UniqueIdXml>LVXml:GUID-W:" + letter + "</UniqueIdXml>") != std::string::npos,
                  isDescribed)
            << letter;
        if (!isDescribed) continue;
        ++described;
        const std::string type = d.type == DRIVE_FIXED ? "HardDrive" : "CDROM";
        const std::string size = inv::megabytesText(std::to_string(d.totalBytes));
        EXPECT_NE(scan.text.find("      <UniqueIdXml>LVXml:GUID-W:" + letter + "</UniqueIdXml>\n" +
                                 parameterB("Name", letter) + parameterB("ID", letter) + parameterB("Type", type) +
                                 parameterB("Size", size)),
                  std::string::npos)
            << letter;
        EXPECT_NE(scan.text.find(parameterB("Label", d.label) + "   </LogicalVolumeXml>"), std::string::npos);
        EXPECT_NE(scan.text.find("      <UniqueIdXml>HFSXml:GUID-W:" + scan::xmlEscape(d.fileSystem) + ":" + letter +
                                 "</UniqueIdXml>\n" + parameterA("Type", d.fileSystem) + parameterA("Name", letter) +
                                 parameterA("Mount Point", letter) + parameterA("Total Space", size)),
                  std::string::npos)
            << letter;
    }
    EXPECT_GE(described, 1);

    // Disk 0 as wine's geometry query describes it, identified by the key written above
    // (wine's own hardware map has no disk keys, so it is the first one found).
    HANDLE disk = CreateFileA("\\\\.\\PHYSICALDRIVE0", 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(disk, INVALID_HANDLE_VALUE);
    DISK_GEOMETRY g{};
    DWORD returned = 0;
    ASSERT_TRUE(DeviceIoControl(disk, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &g, sizeof g, &returned, nullptr));
    CloseHandle(disk);
    const std::string hashText = kCollapsed + std::to_string(static_cast<int32_t>(g.Cylinders.QuadPart)) +
                                 std::to_string(static_cast<int32_t>(g.TracksPerCylinder)) +
                                 std::to_string(static_cast<int32_t>(g.SectorsPerTrack)) +
                                 std::to_string(static_cast<int32_t>(g.BytesPerSector)) + "0";
    const std::string hash = inv::md5HexDigest(hashText).value_or("?");
    const double bytes = static_cast<double>(static_cast<uint32_t>(g.Cylinders.QuadPart)) * g.TracksPerCylinder *
                         g.SectorsPerTrack * g.BytesPerSector;
    char capacity[64];
    std::snprintf(capacity, sizeof capacity, "%.2f", bytes / 1048576.0);
    EXPECT_NE(scan.text.find("   <PhysicalVolumeXml>\n      <UniqueIdXml>PVXml:GUID-W:" + hash + "</UniqueIdXml>\n" +
                             parameterB("Name", "Disk0") + parameterB("ID", hash) + parameterB("Type", "HardDrive") +
                             parameterB("Vendor", "WINETEST") +
                             parameterB("Product ID", "WINETEST VIRTUAL \\\"DISK\\\" <1.0>") +
                             parameterB("Total Space", capacity)),
              std::string::npos)
        << scan.text;
    // \\.\PHYSICALDRIVE1 does not exist under wine: the survey ends after disk 0.
    EXPECT_EQ(scan.text.find("<ValueXml>Disk1</ValueXml>"), std::string::npos);
}

TEST_F(WineHost, SummaryListsTheDescribedDrives) {
    const Scan scan = runScanner("10.1.1.1:9570 scanner01 FS FS");
    ASSERT_NE(scan.text.find("</AttributeXml>\n"), std::string::npos) << scan.text;
    EXPECT_NE(scan.text.find("<!ELEMENT LogicalDevices (VolumeGroup* | DiskGroup*)>\n"), std::string::npos);
    for (const WineDrive& d : wineDrives()) {
        if (d.type != DRIVE_FIXED && d.type != DRIVE_CDROM) continue;
        const std::string letter(1, d.letter);
        EXPECT_NE(scan.text.find("         <FileSystemSummary>\n            <FileSystem name=\"" + letter +
                                 "\" type=\"" + scan::xmlEscape(d.fileSystem) + "\" mountPoint=\"" + letter +
                                 "\" size=\"" + inv::megabytesText(std::to_string(d.totalBytes)) + "\" freeSpace=\""),
                  std::string::npos)
            << letter;
    }
}

TEST_F(WineHost, RegistrySearchAndValueTextsOnTheRealRegistry) {
    std::vector<std::string> keys;
    EXPECT_EQ(inv::findRegistryKeys("HARDWARE", std::nullopt, "TYPE", "DiskPeripheral", keys, true), 1);
    EXPECT_EQ(keys, std::vector<std::string>{kUnitPath});

    auto key = platform::RegistryKey::openLocalMachine(kTypesPath);
    ASSERT_TRUE(key);
    struct Row {
        const char* name;
        bool hex;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {"sz", false, "two words"},      {"expand", false, "%SystemRoot%\\x"}, {"bin", false, "AB"},
        {"bin", true, "41420043"},       {"dword", false, "-5"},               {"dwordBig", false, "16777216"},
        {"multi", false, "a bc"},        {"qword", false, "kept"},
    };
    for (const auto& r : rows) {
        std::string out = "kept";
        EXPECT_EQ(inv::readRegistryValueText(*key, r.name, out, 1024, r.hex), 1) << r.name;
        EXPECT_EQ(out, r.expected) << r.name;
    }
}

}  // namespace

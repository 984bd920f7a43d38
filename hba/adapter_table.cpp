#include "hba/adapter_table.h"

#include <algorithm>
#include <cstring>

#include "common/scan_trace.h"
#include "base/text.h"

namespace hba {

namespace {

constexpr const char* kMethod = "SDInitializeInternals";
constexpr std::size_t kNameBufferSize = 256;

template <std::size_t N>
std::string fieldText(const char (&field)[N], std::size_t capacity) {
    return apiText(field, N, capacity);
}

void storeAttributes(AdapterEntry& entry, const HBA_ADAPTERATTRIBUTES& a) {
    constexpr std::size_t kText = AdapterEntry::kTextCapacity;
    constexpr std::size_t kShort = AdapterEntry::kShortTextCapacity;
    std::copy(std::begin(a.NodeWWN.wwn), std::end(a.NodeWWN.wwn), entry.nodeWwn.begin());
    entry.hardwareVersion = fieldText(a.HardwareVersion, kText);
    entry.driverVersion = fieldText(a.DriverVersion, kText);
    entry.optionRomVersion = fieldText(a.OptionROMVersion, kText);
    entry.firmwareVersion = fieldText(a.FirmwareVersion, kText);
    entry.model = fieldText(a.Model, kText);
    entry.modelDescription = fieldText(a.ModelDescription, kText);
    entry.driverName = fieldText(a.DriverName, kText);
    entry.manufacturer = fieldText(a.Manufacturer, kShort);
    entry.serialNumber = fieldText(a.SerialNumber, kShort);
    entry.vendorSpecificId = a.VendorSpecificID;
}

}  // namespace

std::string apiText(const char* field, std::size_t fieldSize, std::size_t capacity) {
    const std::size_t length = strnlen(field, fieldSize);
    return scan::boundedText(std::string_view(field, length), capacity);
}

bool isQLogicAdapterName(std::string_view adapterName) { return adapterName.starts_with("QLogic"); }

// std::string_view compares as unsigned characters, as strcmp and strncmp do; the texts
// hold no NUL, so the results are the same.
bool rnidSupportedByDriver(std::string_view driverVersion) {
    return driverVersion.compare("8.1.4.5") >= 0;
}

bool scsiLunIdsByDriver(std::string_view driverVersion) {
    return driverVersion.substr(0, 7).compare("8.00.08") > 0;
}

int SDInitializeInternals(const HbaApi& api, AdapterTable& table) {
    api.HBA_LoadLibrary();
    scan::trace(scan::kSourceSurvey, kMethod, 1502, "entering ... Adapter Table Initialization");

    table = AdapterTable{};
    table.adapterCount = api.HBA_GetNumberOfAdapters();
    scan::trace(scan::kSourceSurvey, kMethod, 1511, "There are %d adapters in this system.",
                static_cast<int>(table.adapterCount));
    const uint32_t usable = std::min(table.adapterCount, AdapterTable::kMaxAdapters);
    if (usable < table.adapterCount)
        scan::trace(scan::kSourceSurvey, kMethod, 1512,
                    "Only the first %d adapters are used, the adapter table has no room for more",
                    static_cast<int>(usable));
    table.entries.resize(usable);

    for (uint32_t i = 0; i < usable; ++i) {
        AdapterEntry& entry = table.entries[i];
        entry.state = kAdapterUnusable;

        char name[kNameBufferSize] = {};
        const HBA_STATUS nameStatus = api.HBA_GetAdapterName(i, name);
        name[kNameBufferSize - 1] = '\0';  // a library that fills the buffer still ends here
        scan::trace(scan::kSourceSurvey, kMethod, 1525, "Adapter %d is named %s", static_cast<int>(i),
                    static_cast<const char*>(name));
        if (nameStatus != HBA_STATUS_OK) continue;

        entry.handle = api.HBA_OpenAdapter(name);
        if (entry.handle != HBA_HANDLE_INVALID) {
            scan::trace(scan::kSourceSurvey, kMethod, 1535, "Successfully opened %s ",
                        static_cast<const char*>(name));
        } else {
            scan::trace(scan::kSourceSurvey, kMethod, 1541, "Failed to open %s",
                        static_cast<const char*>(name));
            continue;
        }

        api.HBA_RefreshInformation(entry.handle);
        HBA_ADAPTERATTRIBUTES attributes{};
        const HBA_STATUS attrStatus = api.HBA_GetAdapterAttributes(entry.handle, &attributes);
        if (attrStatus != HBA_STATUS_OK) {
            scan::trace(scan::kSourceSurvey, kMethod, 1644, "HBA_GetAdapterAttributes failed, RC = %d",
                        static_cast<int>(attrStatus));
            api.HBA_CloseAdapter(entry.handle);
            continue;
        }

        ++table.enabledCount;
        entry.state = kAdapterEnabled;
        entry.hbaApiVersion = api.HBA_GetVersion();
        entry.adapterName = apiText(name, sizeof name, AdapterEntry::kTextCapacity);
        storeAttributes(entry, attributes);

        scan::trace(scan::kSourceSurvey, kMethod, 1590, "HBA Node WWN from Adapter attributes  : 0x%s",
                    scan::hexText(entry.nodeWwn).c_str());
        scan::trace(scan::kSourceSurvey, kMethod, 1591, "HBA Device Driver Version  %s",
                    entry.driverVersion.c_str());

        // The last QLogic adapter enumerated decides both switches; others leave them.
        if (isQLogicAdapterName(entry.adapterName)) {
            table.rnidSupported = rnidSupportedByDriver(entry.driverVersion);
            table.scsiLunIds = scsiLunIdsByDriver(entry.driverVersion);
        }
        if (table.rnidSupported)
            scan::trace(scan::kSourceSurvey, kMethod, 1623, "RNID support in this scan");
        else
            scan::trace(scan::kSourceSurvey, kMethod, 1626, "No RNID support in this scan");
        if (!table.scsiLunIds)
            scan::trace(scan::kSourceSurvey, kMethod, 1630, "Qlogic specific LunID implementation used");
        else
            scan::trace(scan::kSourceSurvey, kMethod, 1633, "SCSI LunID implementation used");
    }

    scan::trace(scan::kSourceSurvey, kMethod, 1661,
                "exiting ... Adapter Table Initialization, %d adapters enabled",
                static_cast<int>(table.enabledCount));
    return 0;
}

}  // namespace hba

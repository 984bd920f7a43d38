// Time to build the SAN entities from the discovered lists and print the attribute
// document, for SANs of 1,000, 10,000 and 100,000 logical units. The lists are made in
// memory (no HBA library): four adapters, storage arrays of 16 logical units each seen
// through two adapters (so serials and node WWNs repeat, as with every multipath array),
// and a switch learnt through RNID per adapter. "per_unit" is the time per logical unit;
// it should stay flat across the sizes.
#include <benchmark/benchmark.h>

#include <memory>

#include "document/attribute_writer.h"
#include "document/entity_builders.h"
#include "document/model_completion.h"

namespace {

using namespace doc;

hba::Wwn wwn(uint8_t first, uint32_t n) {
    return {first, 0, 0, 0xA0, static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
            static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
}

template <std::size_t N>
std::array<char, N> field(std::string_view text) {
    std::array<char, N> f;
    f.fill(' ');
    std::copy_n(text.begin(), std::min(text.size(), N), f.begin());
    return f;
}

std::vector<hba::DiscoveredAdapter> makeSan(int units) {
    constexpr int kAdapters = 4;
    constexpr int kUnitsPerArray = 16;
    std::vector<hba::DiscoveredAdapter> adapters(kAdapters);
    for (int i = 0; i < kAdapters; ++i) {
        auto& a = adapters[static_cast<std::size_t>(i)];
        a.adapterName = "QLogic-QLA2342-" + std::to_string(i);
        a.nodeWwn = wwn(0x20, static_cast<uint32_t>(i));
        a.portWwn = wwn(0x21, static_cast<uint32_t>(i));
        a.portId = {static_cast<uint8_t>(i + 1), 1, 0};
        a.driverVersion = "9.1.2.19";
        a.manufacturer = "QLogic Corporation";
        a.HBAOffset = static_cast<uint32_t>(i + 2);
        hba::DeviceNode own;
        own.origin = hba::kOriginScsi;
        own.deviceType = hba::kDeviceTypeHba;
        own.nodeWwn = a.nodeWwn;
        own.portWwn = a.portWwn;
        own.portId = a.portId;
        a.nodeList.append(own);
    }
    // Each array has two paths (two adapters): units / 16 / 2 arrays.
    const int arrays = units / kUnitsPerArray / 2;
    for (int array = 0; array < arrays; ++array) {
        for (int path = 0; path < 2; ++path) {
            auto& a = adapters[static_cast<std::size_t>((array * 2 + path) % kAdapters)];
            hba::DeviceNode t;
            t.origin = hba::kOriginScsi;
            t.portType = hba::kPortTypeTarget;
            t.deviceType = hba::kDeviceTypeProcessor;
            t.nodeWwn = wwn(0x50, static_cast<uint32_t>(array));
            t.portWwn = wwn(0x51, static_cast<uint32_t>(array * 2 + path));
            t.portId = {9, static_cast<uint8_t>(array >> 8), static_cast<uint8_t>(array)};
            t.serialNumber = hba::ShortBytes("SERIAL-" + std::to_string(array));
            t.nodeName = t.serialNumber;
            t.alternateId = hba::ShortBytes(std::span<const uint8_t>(t.nodeWwn));
            t.vendorId = field<8>("SANARRAY");
            t.productId = field<16>("FA-4000");
            t.productRevision = field<4>("0420");
            t.page83Valid = 1;
            for (int u = 0; u < kUnitsPerArray; ++u) {
                hba::LunRecord l;
                l.vendorId = t.vendorId;
                l.productId = t.productId;
                l.productRevision = t.productRevision;
                l.inquiryData.assign(96, 0x20);
                l.inquiryData[4] = 91;
                l.page83Data.assign(24, 0x11);
                l.page83Data[3] = 20;
                l.PortBusTargLun = {static_cast<uint8_t>(a.HBAOffset), 0, static_cast<uint8_t>(array),
                                    static_cast<uint8_t>(u)};
                t.lunList.push_back(std::move(l));
            }
            a.nodeList.append(std::move(t));
        }
    }
    for (int i = 0; i < kAdapters; ++i) {
        hba::DeviceNode sw;
        sw.origin = hba::kOriginRnid;
        sw.nodeWwn = wwn(0x10, static_cast<uint32_t>(i));
        sw.portWwn = wwn(0x11, static_cast<uint32_t>(i));
        sw.rnidType = 4;
        sw.nodeName = hba::ShortBytes(std::string_view("core-switch"));
        auto list = std::make_shared<hba::MgmtAddressList>();
        list->emplace_back(std::string_view("http://10.9.9.9:80"));
        sw.mgmtAddress = list;
        sw.mgmtAddressCount = 1;
        adapters[static_cast<std::size_t>(i)].nodeList.append(std::move(sw));
    }
    return adapters;
}

void BuildAndPrint(benchmark::State& state) {
    const int units = static_cast<int>(state.range(0));
    const auto adapters = makeSan(units);
    const DiscoveredAdapters view(adapters);
    const ScanParameters params{"10.1.1.1:9570", "scanner01", "GUID"};
    std::size_t bytes = 0;
    for (auto _ : state) {
        // The scanner never frees its records or its document before it exits: their
        // release is kept out of the timing.
        auto m = std::make_unique<AttributeModel>();
        m->system.id = "GUID";
        m->controllers = reStructAdapterInfo(m->system, view);
        m->peripheralEntities = reStructDeviceToPE(view);
        m->logicalUnits = assembleLUN(m->peripheralEntities, view);
        m->fcNodes = reStructDeviceToFCN(m->system, view, m->peripheralEntities);
        m->fcPorts = reStructDeviceToFCP(view);
        m->connectivityGroups = assembleCG(m->controllers, m->fcNodes, m->fcPorts, view);
        completeAttributeModel(*m);
        auto text = std::make_unique<std::string>(renderAttributeXml(*m, params));
        bytes = text->size();
        benchmark::DoNotOptimize(text->data());
        state.PauseTiming();
        m.reset();
        text.reset();
        state.ResumeTiming();
    }
    state.counters["per_unit"] =
        benchmark::Counter(static_cast<double>(units), benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
    state.counters["doc_MB"] = static_cast<double>(bytes) / 1e6;
}

BENCHMARK(BuildAndPrint)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();

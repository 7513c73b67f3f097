// Encode and decode of an EnumerateInstances answer of 10,000 storage-volume-like
// instances (about 20 properties each). Run by hand:
//   build/bin/cim_codec_bench
// Decoding is bound by first touches of fresh memory, and a benchmark reuses the heap the
// ones before it grew: for figures that compare, run each one in its own process, e.g.
//   build/bin/cim_codec_bench --benchmark_filter=InPlace
#include <benchmark/benchmark.h>

#include <string>

#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlResponseReader.h"

namespace {

using namespace cim;

constexpr int kInstances = 10000;

CIMInstance volume(int index) {
    const std::string id = "600A0B800026B3B2000038B64A1B" + std::to_string(100000 + index);
    CIMInstance v("CIM_StorageVolume");
    v.addProperty(CIMProperty("SystemCreationClassName", CIMValue("Merrow_StorageSystem")));
    v.addProperty(CIMProperty("SystemName", CIMValue("600A0B800026B3B20000000049B4E2C5")));
    v.addProperty(CIMProperty("CreationClassName", CIMValue("CIM_StorageVolume")));
    v.addProperty(CIMProperty("DeviceID", CIMValue(id)));
    v.addProperty(CIMProperty("ElementName", CIMValue("Volume " + std::to_string(index))));
    v.addProperty(CIMProperty("Caption", CIMValue("Storage volume")));
    v.addProperty(CIMProperty("Description", CIMValue("A logical unit exported to hosts & clusters")));
    v.addProperty(CIMProperty("Name", CIMValue(id)));
    v.addProperty(CIMProperty("NameFormat", CIMValue(uint16_t{2})));
    v.addProperty(CIMProperty("BlockSize", CIMValue(uint64_t{512})));
    v.addProperty(CIMProperty("NumberOfBlocks", CIMValue(uint64_t{2147483648ULL} + index)));
    v.addProperty(CIMProperty("ConsumableBlocks", CIMValue(uint64_t{2147483000ULL} + index)));
    v.addProperty(CIMProperty("HealthState", CIMValue(uint16_t{5})));
    v.addProperty(CIMProperty("EnabledState", CIMValue(uint16_t{2})));
    v.addProperty(CIMProperty("OperationalStatus", CIMValue(std::vector<uint16_t>{2, 32768})));
    v.addProperty(CIMProperty("DataRedundancy", CIMValue(uint16_t{2})));
    v.addProperty(CIMProperty("PackageRedundancy", CIMValue(uint16_t{1})));
    v.addProperty(CIMProperty("Primordial", CIMValue(false)));
    v.addProperty(CIMProperty("NoSinglePointOfFailure", CIMValue(true)));
    v.addProperty(CIMProperty("IsBasedOnUnderlyingRedundancy", CIMValue(true)));
    v.addProperty(CIMProperty("InstallDate", CIMValue(CIMDateTime("20240131235959.000000+000"))));
    v.addProperty(CIMProperty("ExtentStripeLength", CIMValue(uint16_t{4})));
    v.setPath(CIMObjectPath("", {}, "CIM_StorageVolume",
                            {CIMKeyBinding("SystemCreationClassName", "Merrow_StorageSystem", CIMKeyBinding::Type::String),
                             CIMKeyBinding("SystemName", "600A0B800026B3B20000000049B4E2C5", CIMKeyBinding::Type::String),
                             CIMKeyBinding("CreationClassName", "CIM_StorageVolume", CIMKeyBinding::Type::String),
                             CIMKeyBinding("DeviceID", id, CIMKeyBinding::Type::String)}));
    return v;
}

const CIMResponse& enumerateResponse() {
    static const CIMResponse response = [] {
        CIMResponse r;
        r.messageId = "1001";
        r.methodName = CIMName("EnumerateInstances");
        r.kind = CIMReturnKind::NamedInstances;
        r.instances.reserve(kInstances);
        for (int i = 0; i < kInstances; ++i) {
            r.instances.push_back(volume(i));
        }
        return r;
    }();
    return response;
}

void BM_DecodeEnumerateInstances(benchmark::State& state) {
    const std::string xml = encodeResponse(enumerateResponse());
    for (auto _ : state) {
        CIMResponse response = decodeResponse(xml);
        benchmark::DoNotOptimize(response.instances.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(xml.size()));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kInstances);
    state.counters["doc_MB"] = static_cast<double>(xml.size()) / 1e6;
}

// The HTTP client hands over the body it has no further use for: no copy of the document.
void BM_DecodeEnumerateInstancesInPlace(benchmark::State& state) {
    const std::string xml = encodeResponse(enumerateResponse());
    for (auto _ : state) {
        state.PauseTiming();
        std::string body = xml;
        state.ResumeTiming();
        CIMResponse response = decodeResponse(std::move(body));
        benchmark::DoNotOptimize(response.instances.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(xml.size()));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kInstances);
}

// The same with the tree of the whole document, as decodeResponse read it before it took
// long lists item by item.
void BM_DecodeEnumerateInstancesWholeDocument(benchmark::State& state) {
    const std::string xml = encodeResponse(enumerateResponse());
    for (auto _ : state) {
        state.PauseTiming();
        std::string body = xml;
        state.ResumeTiming();
        CIMResponse response =
            CIMXmlResponseReader(std::move(body), CIMXmlResponseReader::Mode::WholeDocument).readAll();
        benchmark::DoNotOptimize(response.instances.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(xml.size()));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kInstances);
}

// Each instance handed on as it is decoded and dropped, as orvcim prints them: no vector of
// all instances.
void BM_DecodeEnumerateInstancesEachItem(benchmark::State& state) {
    const std::string xml = encodeResponse(enumerateResponse());
    for (auto _ : state) {
        state.PauseTiming();
        std::string body = xml;
        state.ResumeTiming();
        CIMXmlResponseReader reader(std::move(body));
        CIMResponse response = reader.readHead();
        size_t properties = 0;
        while (reader.readItem(response)) {
            properties += response.instances.back().getPropertyCount();
            response.instances.clear();
        }
        benchmark::DoNotOptimize(properties);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(xml.size()));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kInstances);
}

void BM_EncodeEnumerateInstances(benchmark::State& state) {
    const CIMResponse& response = enumerateResponse();
    size_t bytes = 0;
    for (auto _ : state) {
        std::string xml = encodeResponse(response);
        bytes = xml.size();
        benchmark::DoNotOptimize(xml.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kInstances);
}

BENCHMARK(BM_DecodeEnumerateInstances)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEnumerateInstancesInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEnumerateInstancesWholeDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEnumerateInstancesEachItem)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeEnumerateInstances)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

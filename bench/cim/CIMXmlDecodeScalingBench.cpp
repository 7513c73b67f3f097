// Decoding time against the number of properties of one instance and against nesting depth:
// the time per property should stay flat as the count grows, and a deeply nested reply should
// be refused in time proportional to its length.
//   build/bin/cim_decode_scaling_bench
#include <benchmark/benchmark.h>

#include <string>

#include "cim/value/CIMInstance.h"
#include "cim/xml/CIMXmlCodec.h"
#include "cim/xml/CIMXmlError.h"

namespace {

std::string response(const std::string& returnValue) {
    return "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"1\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP>"
           "<IMETHODRESPONSE NAME=\"GetInstance\"><IRETURNVALUE>" +
           returnValue + "</IRETURNVALUE></IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>";
}

std::string instanceOf(std::int64_t properties) {
    std::string text = "<INSTANCE CLASSNAME=\"CIM_X\">";
    for (std::int64_t i = 0; i < properties; ++i) {
        text += "<PROPERTY NAME=\"P" + std::to_string(i) + "\" TYPE=\"uint32\"><VALUE>1</VALUE></PROPERTY>";
    }
    return text + "</INSTANCE>";
}

void DecodeInstanceWithManyProperties(benchmark::State& state) {
    const std::string xml = response(instanceOf(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(cim::decodeResponse(std::string_view(xml)));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(DecodeInstanceWithManyProperties)->RangeMultiplier(4)->Range(256, 16384)->Unit(benchmark::kMillisecond);

void AddPropertiesToOneInstance(benchmark::State& state) {
    for (auto _ : state) {
        cim::CIMInstance instance("CIM_X");
        for (std::int64_t i = 0; i < state.range(0); ++i) {
            instance.addProperty(cim::CIMProperty("P" + std::to_string(i), cim::CIMValue(std::uint32_t{1})));
        }
        benchmark::DoNotOptimize(instance);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(AddPropertiesToOneInstance)->RangeMultiplier(4)->Range(256, 131072)->Unit(benchmark::kMillisecond);

void RefuseDeeplyNestedReply(benchmark::State& state) {
    std::string nested;
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        nested += "<VALUE.REFERENCE>";
    }
    const std::string xml = response(nested);
    for (auto _ : state) {
        try {
            cim::decodeResponse(std::string_view(xml));
            state.SkipWithError("a deeply nested reply was accepted");
        } catch (const cim::CIMXmlError&) {
        }
    }
}
BENCHMARK(RefuseDeeplyNestedReply)->Arg(1000)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

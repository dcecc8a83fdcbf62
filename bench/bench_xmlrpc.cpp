// The command channel's text: writing the largest layout the library offers, and reading a typical
// phone call, against expat alone reading the same call (the floor for any reader built on it).
#include <benchmark/benchmark.h>
#include <expat.h>

#include <string>

#include "PadlinkSDK/PadlinkRPCLib/JPHiddenControllerLayout.h"
#include "PadlinkSDK/PadlinkRPCLib/JPMethodReturn.h"
#include "PadlinkSDK/PadlinkRPCLib/JPXMLMapper.h"
#include "bench/BenchmarkPairs.h"

namespace {
const std::string kPhoneCall =
    "<?xml version=\"1.0\"?><methodCall><methodName>displayModal</methodName><params>"
    "<param><value><string>https://example.org/help?page=2&amp;lang=en</string></value></param>"
    "<param><value><i4>480</i4></value></param><param><value><i4>320</i4></value></param></params></methodCall>";

RefPtr<JPMethodReturn> largestLayoutReturn() {
    auto layout = JPHiddenControllerLayout::snesPreInstalled();
    layout->setBackgroundImageName("padlink_bg.png");
    auto answer = makeRef<JPMethodReturn>();
    answer->setRetValue(JPValue(layout));
    return answer;
}

void encodeLayoutOurs(benchmark::State& state) {
    const auto answer = largestLayoutReturn();
    for (auto _ : state) benchmark::DoNotOptimize(answer->encodedRetValue());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * answer->encodedRetValue().size()));
}

// Copying the finished text: what writing costs beyond building it.
void encodeLayoutCopy(benchmark::State& state) {
    const std::string text = largestLayoutReturn()->encodedRetValue();
    for (auto _ : state) benchmark::DoNotOptimize(std::string(text));
}

void parseCallOurs(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(JPXMLMapper::mapperWithData(kPhoneCall));
}

void parseCallExpat(benchmark::State& state) {
    for (auto _ : state) {
        XML_Parser parser = XML_ParserCreate("UTF-8");
        XML_SetElementHandler(parser, [](void*, const char*, const char**) {}, [](void*, const char*) {});
        XML_SetCharacterDataHandler(parser, [](void*, const char*, int) {});
        benchmark::DoNotOptimize(XML_Parse(parser, kPhoneCall.data(), static_cast<int>(kPhoneCall.size()), XML_TRUE));
        XML_ParserFree(parser);
    }
}
}  // namespace

int main(int argc, char** argv) {
    return runBenchmarkGroups(argc, argv,
                              {{"encode_largest_layout", encodeLayoutOurs, {{"string_copy", encodeLayoutCopy}}},
                               {"parse_phone_call", parseCallOurs, {{"expat", parseCallExpat}}}},
                              benchmark::kMicrosecond);
}

// JSON decoding and encoding of four kinds of documents, ours against RapidJSON's DOM and
// nlohmann-json. The documents are generated here, from a fixed seed: a string-heavy timeline with
// escapes and non-ASCII text, a catalogue of many small objects with repeated keys, a number-heavy
// map outline, and a batch of 0.3-2 KB controller messages decoded one by one.
#include <benchmark/benchmark.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "PadlinkSDK/JSONCore/JPJKData.h"
#include "PadlinkSDK/JSONCore/JPJKSerializer.h"
#include "PadlinkSDK/JSONCore/JPJSONDecoder.h"
#include "bench/BenchmarkPairs.h"

namespace {
using Json = nlohmann::json;

std::mt19937 random(20240601);
int pick(int below) { return static_cast<int>(random() % static_cast<uint32_t>(below)); }

std::string words(int count) {
    static const char* const vocabulary[] = {"the", "bee", "hive", "nectar", "\"quoted\"", "line\nbreak", "caf\xC3\xA9",
                                             "\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x90\x9D", "http://x.io/a/b", "tab\there"};
    std::string text;
    for (int i = 0; i < count; ++i) text += std::string(i ? " " : "") + vocabulary[pick(std::size(vocabulary))];
    return text;
}

Json twitter() {
    Json statuses = Json::array();
    for (int i = 0; i < 400; ++i) {
        statuses.push_back({{"created_at", "Mon Sep 24 03:35:21 +0000 2012"},
                            {"id", uint64_t{505874924095815681} + i},
                            {"id_str", std::to_string(505874924095815681 + i)},
                            {"text", words(12 + pick(12))},
                            {"user", {{"name", words(2)}, {"screen_name", "user" + std::to_string(pick(1000))},
                                      {"description", words(10)}, {"followers_count", pick(100000)},
                                      {"verified", pick(2) == 0}, {"profile_image_url", "http://pbs.example.com/p/" + std::to_string(i) + ".png"}}},
                            {"entities", {{"hashtags", Json::array({words(1), words(1)})}, {"urls", Json::array()}}},
                            {"retweet_count", pick(500)}, {"favorited", false}, {"in_reply_to_status_id", nullptr}});
    }
    return {{"statuses", statuses}, {"search_metadata", {{"count", 400}, {"query", "%23bee"}}}};
}

Json citm() {
    Json events = Json::object();
    Json performances = Json::array();
    for (int i = 0; i < 2000; ++i) {
        events[std::to_string(138586341 + i)] = {{"description", nullptr}, {"id", 138586341 + i}, {"logo", nullptr},
                                                 {"name", pick(3) ? Json(words(3)) : Json(nullptr)},
                                                 {"subTopicIds", {337184269, 337184283}}, {"topicIds", {324846099, 107888604}}};
        Json prices = Json::array();
        for (int p = 0; p < 3; ++p) prices.push_back({{"amount", 90250 - p * 1000}, {"audienceSubCategoryId", 337100890}, {"seatCategoryId", 338937295 + p}});
        performances.push_back({{"eventId", 138586341 + i}, {"id", 339887544 + i}, {"logo", nullptr}, {"name", nullptr},
                                {"prices", prices}, {"seatCategories", {{{"areas", {{{"areaId", 205705999}, {"blockIds", Json::array()}}}}, {"seatCategoryId", 338937295}}}},
                                {"start", int64_t{1372701600000} + i}, {"venueCode", "PLEYEL_PLEYEL"}});
    }
    return {{"events", events}, {"performances", performances}};
}

Json canada() {
    Json rings = Json::array();
    for (int r = 0; r < 40; ++r) {
        Json ring = Json::array();
        for (int i = 0; i < 1500; ++i) {
            ring.push_back({-141.0 + std::uniform_real_distribution<double>(0, 90)(random),
                            41.7 + std::uniform_real_distribution<double>(0, 41)(random)});
        }
        rings.push_back(ring);
    }
    return {{"type", "FeatureCollection"},
            {"features", {{{"type", "Feature"}, {"properties", {{"name", "Canada"}}}, {"geometry", {{"type", "Polygon"}, {"coordinates", rings}}}}}}};
}

std::vector<std::string> messages() {
    std::vector<std::string> batch;
    for (int m = 0; m < 1000; ++m) {
        Json components = Json::array();
        for (int c = 0, count = 2 + pick(14); c < count; ++c) {
            components.push_back({{"type", pick(2) ? "button" : "dpad"}, {"identifier", "c" + std::to_string(c)},
                                  {"x", pick(480)}, {"y", pick(320)}, {"width", 64.5}, {"label", words(1)}});
        }
        batch.push_back(Json({{"method", "updateLayout"}, {"id", m}, {"params", {{"slot", m % 4}, {"components", components}}}}).dump());
    }
    return batch;
}

// Every document kind as a batch of texts.
struct Corpus {
    std::string name;
    std::vector<std::string> texts;
    size_t bytes = 0;
};

const std::vector<Corpus>& corpora() {
    static const std::vector<Corpus> all = [] {
        std::vector<Corpus> made = {{"twitter", {twitter().dump()}}, {"citm", {citm().dump()}}, {"canada", {canada().dump()}}, {"messages", messages()}};
        for (Corpus& corpus : made) {
            for (const std::string& text : corpus.texts) corpus.bytes += text.size();
        }
        return made;
    }();
    return all;
}

void account(benchmark::State& state, const Corpus& corpus) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * corpus.texts.size()));
}

template <int kCorpus>
void decodeOurs(benchmark::State& state) {
    const Corpus& corpus = corpora()[kCorpus];
    const auto decoder = JPJSONDecoder::decoder();
    for (auto _ : state) {
        for (const std::string& text : corpus.texts) benchmark::DoNotOptimize(decoder->objectWithUTF8String(text.data(), text.size()));
    }
    account(state, corpus);
}

template <int kCorpus>
void decodeRapid(benchmark::State& state) {
    const Corpus& corpus = corpora()[kCorpus];
    for (auto _ : state) {
        for (const std::string& text : corpus.texts) {
            rapidjson::Document document;
            document.Parse(text.data(), text.size());
            benchmark::DoNotOptimize(document.IsObject());
        }
    }
    account(state, corpus);
}

template <int kCorpus>
void decodeNlohmann(benchmark::State& state) {
    const Corpus& corpus = corpora()[kCorpus];
    for (auto _ : state) {
        for (const std::string& text : corpus.texts) benchmark::DoNotOptimize(Json::parse(text));
    }
    account(state, corpus);
}

template <int kCorpus>
void encodeOurs(benchmark::State& state) {
    const Corpus& corpus = corpora()[kCorpus];
    std::vector<RefPtr<Object>> trees;
    for (const std::string& text : corpus.texts) trees.push_back(JPJSONDecoder::decoder()->objectWithUTF8String(text.data(), text.size()));
    for (auto _ : state) {
        for (const auto& tree : trees) {
            benchmark::DoNotOptimize(JPJKSerializer::serializeObject(tree.get(), 0, JPJKEncodeOptionAsData, nullptr, nullptr));
        }
    }
    account(state, corpus);
}

template <int kCorpus>
void encodeRapid(benchmark::State& state) {
    const Corpus& corpus = corpora()[kCorpus];
    std::vector<rapidjson::Document> documents(corpus.texts.size());
    for (size_t i = 0; i < documents.size(); ++i) documents[i].Parse(corpus.texts[i].data(), corpus.texts[i].size());
    for (auto _ : state) {
        for (const auto& document : documents) {
            rapidjson::StringBuffer buffer;
            rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
            document.Accept(writer);
            benchmark::DoNotOptimize(buffer.GetString());
        }
    }
    account(state, corpus);
}

template <int kCorpus>
void encodeNlohmann(benchmark::State& state) {
    const Corpus& corpus = corpora()[kCorpus];
    std::vector<Json> documents;
    for (const std::string& text : corpus.texts) documents.push_back(Json::parse(text));
    for (auto _ : state) {
        for (const auto& document : documents) benchmark::DoNotOptimize(document.dump());
    }
    account(state, corpus);
}

template <int kCorpus>
std::vector<BenchmarkGroup> groups(const char* name) {
    return {{std::string("decode/") + name, decodeOurs<kCorpus>, {{"rapidjson", decodeRapid<kCorpus>}, {"nlohmann", decodeNlohmann<kCorpus>}}},
            {std::string("encode/") + name, encodeOurs<kCorpus>, {{"rapidjson", encodeRapid<kCorpus>}, {"nlohmann", encodeNlohmann<kCorpus>}}}};
}
}  // namespace

int main(int argc, char** argv) {
    std::vector<BenchmarkGroup> all;
    for (auto part : {groups<0>("twitter"), groups<1>("citm"), groups<2>("canada"), groups<3>("messages")}) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return runBenchmarkGroups(argc, argv, all, benchmark::kMillisecond, [] {
        for (const Corpus& corpus : corpora()) std::printf("%s: %zu documents, %zu bytes\n", corpus.name.c_str(), corpus.texts.size(), corpus.bytes);
    });
}

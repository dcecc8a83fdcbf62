// Random trees written by our encoder read back equal with our decoder, and agree with an
// independent JSON library in both directions.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <random>

#include "PadlinkSDK/JSONCore/JPJKUTF8.h"
#include "tests/PadlinkSDK/JSONCore/JSONTestSupport.h"

namespace {
using Json = nlohmann::json;

class TreeGenerator {
public:
    explicit TreeGenerator(uint32_t seed) : random_(seed) {}

    Json tree(int depth) {
        const int kind = depth == 0 ? 7 : pick(depth > 4 ? 7 : 9);
        Json json = kind == 7 ? Json::array() : Json::object();
        for (int i = 0, count = pick(6); i < count; ++i) {
            if (kind == 7) json.push_back(value(depth + 1));
            else json[text()] = value(depth + 1);
        }
        return json;
    }

private:
    int pick(int below) { return static_cast<int>(random_() % static_cast<uint32_t>(below)); }

    Json value(int depth) {
        switch (pick(depth > 5 ? 7 : 9)) {
        case 0: return nullptr;
        case 1: return pick(2) == 0;
        case 2: return static_cast<int64_t>(random_()) - (pick(2) ? INT64_MAX : int64_t{1} << 31);
        case 3: return uint64_t{random_()} << 32 | random_();
        case 4: return std::uniform_real_distribution<double>(-1e6, 1e6)(random_) * std::pow(10.0, pick(600) - 300);
        case 5:
        case 6: return text();
        default: return tree(depth);
        }
    }

    // Code points from every UTF-8 length, control characters and characters JSON escapes;
    // never U+0000, surrogates or noncharacters, which the decoder refuses.
    std::string text() {
        static const uint32_t samples[] = {'a', 'Z', ' ', '"', '\\', '/', '\n', 0x1F, 0x7F, 0xE9, 0x7FF, 0x800, 0x2028, 0xFFFD, 0x10000, 0x1F600, 0x10FFFD};
        std::string text;
        for (int i = 0, length = pick(8); i < length; ++i) {
            uint8_t bytes[4];
            uint32_t codePoint = samples[pick(std::size(samples))];
            if (pick(3) == 0) codePoint = 0x20 + static_cast<uint32_t>(pick(0x5E));
            text.append(reinterpret_cast<char*>(bytes), JPJKUTF8::write(codePoint, bytes));
        }
        return text;
    }

    std::mt19937 random_;
};

RefPtr<Object> ours(const Json& json) {
    switch (json.type()) {
    case Json::value_t::null: return JPJKNull::null();
    case Json::value_t::boolean: return JPJKNumber::numberWithBool(json.get<bool>());
    case Json::value_t::number_integer: return num(json.get<int64_t>());
    case Json::value_t::number_unsigned: return JPJKNumber::numberWithUnsignedLongLong(json.get<uint64_t>());
    case Json::value_t::number_float: return real(json.get<double>());
    case Json::value_t::string: return str(json.get<std::string>());
    case Json::value_t::array: {
        std::vector<RefPtr<Object>> elements;
        for (const Json& element : json) elements.push_back(ours(element));
        return arr(std::move(elements));
    }
    default: {
        std::vector<std::pair<std::string, RefPtr<Object>>> pairs;
        for (const auto& [key, value] : json.items()) pairs.emplace_back(key, ours(value));
        return dict(std::move(pairs));
    }
    }
}
}  // namespace

TEST(JPJKRoundTrip, RandomTreesSurviveEncodeAndDecodeAndAgreeWithThePeer) {
    const uint64_t optionSets[] = {0, JPJKSerializeOptionPretty, JPJKSerializeOptionUnicodeEscapes | JPJKSerializeOptionSlashEscapes};
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        TreeGenerator generator(seed);
        const Json json = generator.tree(0);
        const RefPtr<Object> tree = ours(json);
        const uint64_t options = optionSets[seed % 3];
        const std::string text = encode(tree.get(), options);
        JPJKError error;
        const RefPtr<Object> decoded = decode(text, 0, &error);
        ASSERT_TRUE(JPJKObject::isEqual(decoded.get(), tree.get())) << "seed " << seed << " " << error.localizedDescription << "\n" << text;
        ASSERT_EQ(Json::parse(text), json) << "seed " << seed << "\n" << text;
        const std::string peerText = json.dump(seed % 2 ? 2 : -1, ' ', seed % 4 == 0);
        ASSERT_TRUE(JPJKObject::isEqual(decode(peerText).get(), tree.get())) << "seed " << seed << "\n" << peerText;
    }
}

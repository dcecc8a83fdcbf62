#include "PadlinkSDK/PadlinkRPCLib/JPXMLRPCEncoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "PadlinkSDK/PadlinkRPCLib/JPControllerLayout.h"
#include "PadlinkSDK/PadlinkRPCLib/JPMethodCall.h"
#include "PadlinkSDK/PadlinkRPCLib/JPMethodReturn.h"
#include "PadlinkSDK/PadlinkRPCLib/JPStringHelper.h"
#include "PadlinkSDK/PadlinkRPCLib/JPXMLRPCRequest.h"

namespace {

TEST(JPXMLRPCEncoder, CallsReturnsAndKeepAlivesAreExactTexts) {
    auto call = JPMethodCall::methodCallWithMethodName("vibrate");
    EXPECT_EQ(call->body(),
              "<?xml version=\"1.0\"?><methodCall><methodName>vibrate</methodName><params></params></methodCall>");
    call->setMethodName("audio&Feedback");
    call->setParams({JPValue("click"), JPValue()});
    EXPECT_EQ(call->body(),
              "<?xml version=\"1.0\"?><methodCall><methodName>audio&amp;Feedback</methodName><params>"
              "<param><value><string>click</string></value></param><param><value><nil></nil></value></param>"
              "</params></methodCall>");

    JPMethodReturn answer;
    answer.setRetValue(JPValue("a<b"));
    EXPECT_EQ(answer.encodedRetValue(),
              "<?xml version=\"1.0\"?><methodReturn><value><string>a&lt;b</string></value></methodReturn>");
    EXPECT_EQ(JPXMLRPCEncoder::encodeKeepAlive(4294967295u), "<?xml version=\"1.0\"?><keepAlive>4294967295</keepAlive>");
}

TEST(JPXMLRPCEncoder, EveryValueKindHasItsText) {
    setenv("TZ", "UTC", 1);
    tzset();
    const struct {
        JPValue value;
        const char* text;
    } cases[] = {
        {JPValue(), "<value><nil></nil></value>"},
        {JPValue(true), "<value><boolean>1</boolean></value>"},
        {JPValue(false), "<value><boolean>0</boolean></value>"},
        {JPValue(7), "<value><i4>7</i4></value>"},
        {JPValue(uint32_t{4000000000u}), "<value><i4>4000000000</i4></value>"},
        {JPValue(0.5f), "<value><float>0.5</float></value>"},
        {JPValue(280.0f), "<value><float>280</float></value>"},
        {JPValue(0.1), "<value><double>0.1</double></value>"},
        {JPValue("&\"'><"), "<value><string>&amp;&quot;&#x27;&gt;&lt;</string></value>"},
        {JPValue::date(86400 * 366 + 3723), "<value><dateTime.iso8601>20020102T01:02:03</dateTime.iso8601></value>"},
        {JPValue::data(""), "<value><base64></base64></value>"},
        {JPValue(JPValue::Array{JPValue(1), JPValue(JPValue::Array{})}),
         "<value><array><data><value><i4>1</i4></value><value><array><data></data></array></value></data></array></value>"},
        {JPValue::dictionary({{"a<", JPValue(1)}, {"b", JPValue("x")}}),
         "<value><struct><member><name>a&lt;</name><value><i4>1</i4></value></member><member><name>b</name>"
         "<value><string>x</string></value></member></struct></value>"},
    };
    for (const auto& c : cases) EXPECT_EQ(JPXMLRPCEncoder::encodeObject(c.value), c.text) << c.value.description();
}

// The per-kind encoders add to the text already written, as the call and struct writers rely on.
TEST(JPXMLRPCEncoder, KindEncodersAppend) {
    std::string out = "<param>";
    JPXMLRPCEncoder::encodeBoolean(out, false);
    JPXMLRPCEncoder::encodeString(out, "a<b", true);
    JPXMLRPCEncoder::encodeNumber(out, JPValue(-3));
    EXPECT_EQ(out, "<param><value><boolean>0</boolean></value>a&lt;b<value><i4>-3</i4></value>");
}

TEST(JPXMLRPCEncoder, ReplaceTargetReplacesEveryOccurrenceOnce) {
    const struct {
        const char* target;
        const char* value;
        const char* string;
        const char* replaced;
    } cases[] = {
        {"&", "&amp;", "a&b&", "a&amp;b&amp;"},
        {"aa", "b", "aaa", "ba"},     // left to right, no overlap
        {"a", "aa", "aa", "aaaa"},    // a replacement is not scanned again
        {"", "x", "abc", "abc"},
        {"abcd", "x", "abc", "abc"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JPXMLRPCEncoder::replaceTarget(c.target, c.value, c.string), c.replaced) << c.target << " in " << c.string;
    }
}

TEST(JPXMLRPCEncoder, Base64BreaksLinesByDataLengthAndEvery90Bytes) {
    const struct {
        std::string data;
        std::string text;
    } cases[] = {
        {"abc", "YWJj\n"},
        {"ab", "YWI=\n"},
        {"abcdef", "YWJj" "ZGVm\n"},
        {"abcdefg", "YWJjZGVm\nZw=="},
    };
    for (const auto& c : cases) EXPECT_EQ(JPStringHelper::base64StringFromData(c.data, c.data.size()), c.text);
    // 90 bytes: a break after 23 groups (92 characters reach the length 90) and one after 90 bytes.
    const std::string text = JPStringHelper::base64StringFromData(std::string(90, '\0'), 90);
    EXPECT_EQ(text, std::string(92, 'A') + "\n" + std::string(28, 'A') + "\n");
    EXPECT_EQ(JPStringHelper::base64StringFromData(std::string(180, '\0'), 0),
              std::string(120, 'A') + "\n" + std::string(120, 'A') + "\n");
}

std::string property(const std::string& name, const std::string& typed) {
    return "<property><propertyName>" + name + "</propertyName><value>" + typed + "</value></property>";
}

TEST(JPXMLRPCEncoder, LayoutsGoAsObjectsWithTheirPropertiesInOrder) {
    auto layout = JPControllerLayout::layout();
    layout->setName("Pad");
    layout->setLayoutNumber(2);
    layout->addButtonWithFrame(CGRectMake(280, 0, 100, 320.5), std::nullopt, 44, 1, 2, 7);
    layout->inputComponentTemplates()[0]->setPngRep("abc");
    const std::string component =
        "<value><JPInputComponentTemplate><properties>" + property("inputType", "<i4>1</i4>") +
        property("originX", "<float>280</float>") + property("originY", "<float>0</float>") +
        property("width", "<float>100</float>") + property("height", "<float>320.5</float>") +
        property("centerX", "<float>0</float>") + property("centerY", "<float>0</float>") +
        property("numBits", "<i4>1</i4>") + property("bitOffset", "<i4>0</i4>") + property("label", "<nil></nil>") +
        property("fontSize", "<i4>44</i4>") + property("buttonShape", "<i4>1</i4>") +
        property("buttonColor", "<i4>2</i4>") + property("recentering", "<i4>0</i4>") +
        property("pngRep", "<base64>YWJj\n</base64>") + property("innerOriginX", "<float>0</float>") +
        property("innerOriginY", "<float>0</float>") + property("innerWidth", "<float>0</float>") +
        property("innerHeight", "<float>0</float>") + property("imageName", "<nil></nil>") +
        property("imageName2", "<nil></nil>") + property("radius", "<i4>0</i4>") +
        "</properties></JPInputComponentTemplate></value>";
    EXPECT_EQ(JPXMLRPCEncoder::encodeObject(JPValue(layout)),
              "<value><JPHiddenControllerLayout><properties><property><propertyName>inputComponentTemplates"
              "</propertyName><value><array><data>" + component + "</data></array></value></property>" +
                  property("name", "<string>Pad</string>") + property("layoutNumber", "<i4>2</i4>") +
                  "</properties></JPHiddenControllerLayout></value>");
}

TEST(JPXMLRPCRequest, HTTPRequestCarriesTheBodyAndItsHeaders) {
    JPXMLRPCRequest plain;
    plain.setUserAgent("x");
    EXPECT_FALSE(plain.request());
    EXPECT_EQ(plain.userAgent(), "");

    JPXMLRPCRequest request("http://10.0.0.2/RPC2");
    request.setMethod("sdkVersion", JPValue());
    EXPECT_TRUE(request.parameters().empty());
    request.setUserAgent("Vantrel");
    request.setUserAgent("Vantrel/2");
    const auto http = request.request();
    ASSERT_TRUE(http);
    EXPECT_EQ(http->method, "POST");
    EXPECT_EQ(http->body, request.body());
    const std::vector<std::pair<std::string, std::string>> headers = {
        {"User-Agent", "Vantrel/2"}, {"Content-Type", "text/xml"}, {"Content-Length", std::to_string(http->body.size())}};
    EXPECT_EQ(http->headers, headers);
}

}  // namespace

#include "PadlinkSDK/PadlinkRPCLib/JPXMLMapper.h"

#include <gtest/gtest.h>

#include "PadlinkSDK/PadlinkRPCLib/JPHiddenControllerLayout.h"
#include "PadlinkSDK/PadlinkRPCLib/JPXMLRPCEncoder.h"
#include "platform/foundation/Log.h"

namespace {

const std::string kDeclaration(JPXMLRPCEncoder::kXMLDeclaration);

std::string callWith(const std::string& params) {
    return kDeclaration + "<methodCall><methodName>test</methodName><params>" + params + "</params></methodCall>";
}

std::string returnOf(const std::string& value) {
    return kDeclaration + "<methodReturn>" + value + "</methodReturn>";
}

RefPtr<JPMethodCall> parseCall(const std::string& text) {
    auto mapper = JPXMLMapper::mapperWithData(text);
    return mapper ? refCast<JPMethodCall>(mapper->outputObject()) : nullptr;
}

JPValue parseReturn(const std::string& text) {
    auto mapper = JPXMLMapper::mapperWithData(text);
    auto answer = mapper ? refCast<JPMethodReturn>(mapper->outputObject()) : nullptr;
    EXPECT_TRUE(answer) << text;
    return answer ? answer->retValue() : JPValue();
}

TEST(JPXMLMapper, ReadsEveryValueKindThePhoneSends) {
    const struct {
        const char* value;
        JPValue expected;
    } cases[] = {
        {"<value><string>a&lt;b&#x27;</string></value>", JPValue("a<b'")},
        {"<value><string></string></value>", JPValue("")},
        {"<value><i4> 7 </i4></value>", JPValue(7)},
        {"<value><int>-12</int></value>", JPValue(-12)},
        {"<value><float>0.5</float></value>", JPValue(0.5)},
        {"<value><boolean>1</boolean></value>", JPValue(true)},
        {"<value><base64>YW\nJj</base64></value>", JPValue::data("abc")},
        {"<value><nil/></value>", JPValue()},
        {"<value><array><data><value><i4>1</i4></value><value><array><data><value><string>x</string></value>"
         "</data></array></value></data></array></value>",
         JPValue(JPValue::Array{JPValue(1), JPValue(JPValue::Array{JPValue("x")})})},
    };
    for (const auto& c : cases) {
        auto call = parseCall(callWith(std::string("<param>") + c.value + "</param>"));
        ASSERT_TRUE(call) << c.value;
        EXPECT_EQ(call->methodName(), "test");
        ASSERT_EQ(call->params().size(), 1u) << c.value;
        EXPECT_EQ(call->params()[0], c.expected) << c.value << " gave " << call->params()[0].description();
    }
}

TEST(JPXMLMapper, ValuesItCannotReadBecomeNilWithALogLine) {
    const struct {
        const char* value;
        const char* log;
    } cases[] = {
        {"<value>abc</value>", "Padlink: Got an RPC value that I do not undertand"},
        {"<value><double>0.5</double></value>", "do not undertand"},
        {"<value><struct><member><name>a</name><value><i4>1</i4></value></member></struct></value>", "do not undertand"},
        {"<value><i4>12abc</i4></value>", "Padlink: Got a number I cannot read"},
        {"<value><float>1e999</float></value>", "cannot read"},
    };
    for (const auto& c : cases) {
        LogCapture log;
        EXPECT_EQ(parseReturn(returnOf(c.value)), JPValue()) << c.value;
        EXPECT_TRUE(log.contains(c.log)) << c.value;
    }
}

TEST(JPXMLMapper, IllFormedMessagesYieldNothing) {
    std::string nested;
    for (int i = 0; i < 600; ++i) nested += "<value><array><data>";
    const std::string cases[] = {
        kDeclaration + "<methodCall><methodName>x</methodName>",
        returnOf(""),
        callWith("<param></param>"),
        kDeclaration + "<methodReturn><methodName>x</methodName><value><i4>1</i4></value></methodReturn>",
        kDeclaration + "<methodCall><params></params></methodCall>",
        kDeclaration + "<methodCall><methodName><value><string>x</string></value></methodName></methodCall>",
        kDeclaration + "<methodCall><methodName>x</methodName><methodReturn><value><nil/></value></methodReturn>"
                       "</methodCall>",
        returnOf("<value><JPInputComponentTemplate><properties><property><value><i4>1</i4></value></property>"
                 "</properties></JPInputComponentTemplate></value>"),
        returnOf("<value><JPInputComponentTemplate><properties><property><propertyName>radius</propertyName>"
                 "</property></properties></JPInputComponentTemplate></value>"),
        kDeclaration + "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>" +
            "<methodReturn><value><string>&b;</string></value></methodReturn>",
        kDeclaration + "<!DOCTYPE r SYSTEM \"file:///etc/passwd\"><methodReturn><value><nil/></value></methodReturn>",
        returnOf(nested),
    };
    for (const std::string& text : cases) {
        LogCapture log;
        EXPECT_FALSE(JPXMLMapper::mapperWithData(text)) << text.substr(0, 200);
        EXPECT_EQ(log.lines().size(), 1u) << text.substr(0, 200);
    }
}

TEST(JPXMLMapper, KeepAlivesAndStrayElementsGiveNoMessage) {
    for (const std::string& text : {kDeclaration + "<keepAlive>3</keepAlive>", kDeclaration + "<keepAlive></keepAlive>",
                                   kDeclaration + "<keepAlive><string>3</string></keepAlive>"}) {
        LogCapture log;
        auto mapper = JPXMLMapper::mapperWithData(text);
        ASSERT_TRUE(mapper) << text;
        EXPECT_FALSE(mapper->outputObject()) << text;
        EXPECT_TRUE(log.lines().empty()) << text;
    }
}

TEST(JPXMLMapper, LayoutsComeBackThroughTheirTypedSetters) {
    auto layout = JPHiddenControllerLayout::snesPreInstalled();
    layout->setLayoutNumber(3);
    layout->inputComponentTemplates()[2]->setPngRep(std::string("\x89PNG\0\x01", 6));
    const JPValue decoded = parseReturn(JPXMLRPCEncoder::encodeReturn(JPValue(layout)));
    auto* copy = dynamic_cast<JPHiddenControllerLayout*>(decoded.object());
    ASSERT_TRUE(copy);
    ASSERT_TRUE(copy->isEqualToControllerLayout(layout.get()));
    EXPECT_EQ(copy->layoutNumber(), 3);
    EXPECT_EQ(copy->inputComponentTemplates()[2]->pngRep(), layout->inputComponentTemplates()[2]->pngRep());
    EXPECT_EQ(copy->inputComponentTemplates()[12]->bitmask(), layout->inputComponentTemplates()[12]->bitmask());

    LogCapture log;
    const JPValue hostile = parseReturn(returnOf(
        "<value><PadlinkInputComponentTemplate><properties>"
        "<property><propertyName>numBits</propertyName><value><string>x</string></value></property>"
        "<property><propertyName>bitOffset</propertyName><value><i4>70</i4></value></property>"
        "<property><propertyName>setBitmask:</propertyName><value><i4>1</i4></value></property>"
        "<property><propertyName>radius</propertyName><value><i4>-1</i4></value></property>"
        "</properties></PadlinkInputComponentTemplate></value>"));
    auto* component = dynamic_cast<JPInputComponentTemplate*>(hostile.object());
    ASSERT_TRUE(component);
    EXPECT_EQ(component->bitOffset(), 70u);
    EXPECT_EQ(component->bitmask(), 0u);
    EXPECT_EQ(component->radius(), 0u);
    EXPECT_TRUE(log.contains("Padlink: Ignored 3 unknown or mistyped properties of a JPInputComponentTemplate"));
}

}  // namespace

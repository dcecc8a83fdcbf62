#include "platform/foundation/KeyedArchiver.h"

#include <gtest/gtest.h>

#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

namespace {

// A codable node: a name and children, so that archives can nest (and loop).
struct Node : Object, Coding {
    std::string name;
    std::vector<RefPtr<Object>> children;
    RefPtr<Object> partner;

    void encodeWithCoder(KeyedArchiver& coder) const override {
        coder.encodeValue("name", name);
        coder.encodeObjects("children", children);
        coder.encodeObject("partner", partner.get());
    }
};

struct Plain : Object {};

const bool registered = [] {
    KeyedUnarchiver::registerClass(className(Node()), [](KeyedUnarchiver& coder) -> RefPtr<Object> {
        auto node = makeRef<Node>();
        node->name = coder.decodeValue("name").stringValue();
        node->children = coder.decodeObjects("children");
        node->partner = coder.decodeObject("partner");
        return node->name.empty() ? nullptr : node;
    });
    return true;
}();

RefPtr<Node> node(std::string name, std::vector<RefPtr<Object>> children = {}) {
    auto n = makeRef<Node>();
    n->name = std::move(name);
    n->children = std::move(children);
    return n;
}

TEST(KeyedArchiver, ValuesAndNestedObjectsReadBack) {
    ASSERT_TRUE(registered);
    auto root = node("root", {node("a"), node("b", {node("c")})});
    root->partner = node("p");
    KeyedArchiver archiver;
    archiver.encodeValue("date", Value::date(12));
    archiver.encodeValue("none", Value());
    archiver.encodeObject("root", root.get());
    KeyedUnarchiver coder(archiver.archivedData());
    EXPECT_EQ(coder.decodeValue("date"), Value::date(12));
    EXPECT_TRUE(coder.decodeValue("none").isNone());
    auto copy = refCast<Node>(coder.decodeObject("root"));
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->children.size(), 2u);
    auto b = refCast<Node>(copy->children[1]);
    ASSERT_TRUE(b && b->children.size() == 1);
    EXPECT_EQ(static_cast<Node*>(b->children[0].get())->name, "c");
    EXPECT_EQ(static_cast<Node*>(copy->partner.get())->name, "p");
    EXPECT_FALSE(coder.failed());
}

TEST(KeyedArchiver, BrokenArchivesFailWithOneLogLine) {
    KeyedArchiver unnamed;
    unnamed.encodeObject("root", node("").get());
    const std::string nodeClass = className(Node());
    const struct {
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"garbage", "not a property list"},
        {"<plist version=\"1.0\"><array/></plist>", "not a keyed archive"},
        {"<plist version=\"1.0\"><dict><key>archive</key><string>org.vantrel.keyed-archive</string><key>version</key>"
         "<integer>2</integer><key>top</key><dict/></dict></plist>",
         "not a keyed archive"},
        {"<plist version=\"1.0\"><dict><key>archive</key><string>org.vantrel.keyed-archive</string><key>version</key>"
         "<integer>1</integer><key>top</key><dict><key>objects</key><dict><key>root</key><dict><key>class</key>"
         "<string>Unknown</string></dict></dict></dict></dict></plist>",
         "no class named Unknown"},
        {"<plist version=\"1.0\"><dict><key>archive</key><string>org.vantrel.keyed-archive</string><key>version</key>"
         "<integer>1</integer><key>top</key><dict><key>objects</key><dict><key>root</key><dict><key>class</key>"
         "<string>" + nodeClass + "</string></dict></dict></dict></dict></plist>",
         "no objects under \"children\""},
        {unnamed.archivedData(), "could not make a"},
    };
    for (const auto& c : cases) {
        LogCapture log;
        KeyedUnarchiver coder(c.bytes);
        EXPECT_FALSE(coder.decodeObject("root")) << c.reason;
        EXPECT_TRUE(coder.failed()) << c.reason;
        ASSERT_EQ(log.lines().size(), 1u) << c.reason;
        EXPECT_NE(log.lines()[0].find(c.reason), std::string::npos) << log.lines()[0];
    }
}

TEST(KeyedArchiver, RefusesObjectsItCannotWrite) {
    auto loop = node("loop");
    loop->partner = loop;
    KeyedArchiver archiver;
    EXPECT_THROW(archiver.encodeObject("loop", loop.get()), NamedException);
    loop->partner.reset();
    EXPECT_THROW(archiver.encodeObject("plain", makeRef<Plain>().get()), NamedException);
    EXPECT_THROW(archiver.encodeObjects("nulls", {nullptr}), NamedException);
}

}  // namespace

#include "engine/render/CCTMXMapInfo.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "TMXTestMaps.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "support/Deflate.h"
#include "support/TestSupport.h"

namespace {

// A 10 x 10 map of 32-pixel tiles around `body`.
std::string mapXML(const std::string& body) {
    return R"(<?xml version="1.0"?><map version="1.0" orientation="orthogonal" width="10" height="10" )"
           R"(tilewidth="32" tileheight="32">)" + body + "</map>";
}

// A 2 x 2 layer named `name` with a data element of those attributes and text.
std::string layerXML(const std::string& name, const std::string& dataAttributes, const std::string& text) {
    return R"(<layer name=")" + name + R"(" width="2" height="2"><data )" + dataAttributes + ">" + text +
           "</data></layer>";
}

RefPtr<CCTMXMapInfo> parse(const std::string& xml) { return CCTMXMapInfo::formatWithXML(xml, "res"); }

// mapXML(body) with a document type line after its XML declaration.
std::string doctypeMapXML(const std::string& doctype, const std::string& body) {
    std::string xml = mapXML(body);
    return xml.insert(xml.find("?>") + 2, doctype);
}

}  // namespace

TEST(CCTMXMapInfo, ReadsLayerObjectAndPropertyRecords) {
    const RefPtr<CCTMXMapInfo> info = parse(mapXML(R"(
        <properties><property name="m" value="map"/></properties>
        <tileset name="ts" firstgid="17" tilewidth="32" tileheight="32" spacing="2" margin="1">
          <property name="early" value="goes to the map"/>
          <image source="tiles.png"/><tile id="5"><properties><property name="kind" value="water"/></properties></tile>
        </tileset>
        <layer name="A" width="2" height="2" opacity="0.5" x="3" y="-1"><property name="l" value="layer"/></layer>
        <layer name="B" width="2" height="2" visible="0"/><layer name="C" width="2" height="2" visible="false"/>
        <objectgroup name="g"><property name="gp" value="group"/>
          <object name="box" type="t" x="5" y="32" height="16"><property name="x" value="overwritten"/>
            <polygon points="0,0 1,1"/><polyline points="2,2"/></object>
          <object name="flat" y="32"/></objectgroup>)"));
    ASSERT_EQ(info->layers().size(), 3u);
    const CCTMXLayerInfo& a = *info->layers()[0];
    EXPECT_EQ((std::vector{a.opacity(), info->layers()[1]->opacity()}), (std::vector<uint8_t>{127, 255}));
    EXPECT_EQ((std::vector{a.visible(), info->layers()[1]->visible(), info->layers()[2]->visible()}),
              (std::vector{true, false, true}));
    EXPECT_EQ(a.offset(), CGPointMake(3, -1));
    EXPECT_TRUE(a.tiles().empty());
    ASSERT_EQ(info->tileProperties().count(22), 1u);  // tile 5 of first GID 17
    const CCTMXObjectGroup& group = *info->objectGroups()[0];
    const Value* box = group.objectNamed("box");
    ASSERT_TRUE(box && group.objectNamed("flat") && !group.objectNamed("none"));
    EXPECT_EQ((std::vector<std::string>{a.properties()["l"].stringValue(), info->properties()["m"].stringValue(),
                                        info->properties()["early"].stringValue(),
                                        info->tileProperties().at(22)["kind"].stringValue(),
                                        info->tilesets()[0]->sourceImage(), group.propertyNamed("gp").stringValue(),
                                        (*box)["x"].stringValue(), (*box)["type"].stringValue(),
                                        (*box)["polygonPoints"].stringValue(), (*box)["polylinePoints"].stringValue()}),
              (std::vector<std::string>{"layer", "map", "goes to the map", "water", "res/tiles.png", "group",
                                        "overwritten", "t", "0,0 1,1", "2,2"}));
    // y from the map's bottom: 320 - y - height.
    EXPECT_EQ((std::vector{(*box)["y"].integerValue(), (*group.objectNamed("flat"))["y"].integerValue()}),
              (std::vector<int64_t>{320 - 32 - 16, 320 - 32}));
}

TEST(CCTMXMapInfo, RectForGIDCountsTilesAcrossThePictureAndIgnoresFlags) {
    CCTMXTilesetInfo tileset;
    tileset.setFirstGid(1);
    tileset.setTileSize(CGSizeMake(32, 32));
    tileset.setSpacing(2);
    tileset.setMargin(1);
    tileset.setImageSize(CGSizeMake(256, 256));
    EXPECT_EQ(tileset.rectForGID(10), CGRectMake(69, 35, 32, 32));
    EXPECT_EQ(tileset.rectForGID(3 | kCCTMXTileHorizontalFlag), CGRectMake(69, 1, 32, 32));
    tileset.setImageSize(CGSizeMake(20, 256));  // narrower than one tile: no tile per row
    EXPECT_EQ(tileset.rectForGID(10), CGRectZero);
}

TEST(CCTMXMapInfo, DecodesEachDataElementByItsOwnEncoding) {
    const std::vector<uint32_t> all{1, 0x01020304, 3 | kCCTMXTileDiagonalFlag, 4};
    const std::string gids = littleEndian(all);
    const struct {
        std::string attributes, text;
        std::vector<uint32_t> tiles;
    } cases[] = {
        {R"(encoding="base64")", base64(gids), all},
        {R"(encoding="base64" compression="zlib")", base64(deflated(kZlib, gids)), all},
        {R"(encoding="base64" compression="gzip")", "\n  " + base64(deflated(kGZip, gids)) + "\n", all},
        {R"(encoding="base64")", base64(gids.substr(0, 9)), {1, 0x01020304}},  // short: what is whole
        {R"(encoding="base64" compression="zlib")", base64(deflated(kZlib, gids + gids)), all},  // capped
        {R"(encoding="base64" compression="zlib")", base64(deflated(kZlib, gids).substr(0, 8)), {}},
        {R"(encoding="base64" compression="lz4")", base64(gids), {}},
        {R"(encoding="csv")", "1,2,3,4", {}},
        {"", "<tile gid=\"1\"/>", {}},
    };
    std::string layers;  // a plain layer after compressed ones is read as plain
    for (const auto& c : cases) layers += layerXML("L", c.attributes, c.text);
    LogCapture capture;
    const RefPtr<CCTMXMapInfo> info = parse(mapXML(layers));
    ASSERT_EQ(info->layers().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(info->layers()[i]->tiles(), cases[i].tiles) << i;
    EXPECT_TRUE(capture.contains("Lumora: TMX layer L: data encoding \"csv\""));
    EXPECT_TRUE(capture.contains("Lumora: TMX layer L: tile data cannot be decoded; the layer is empty"));
}

TEST(CCTMXMapInfo, ReadsExternalTilesetsFromTheMapsFolderOnly) {
    TemporaryFolder folder;
    folder.write("maps/ts.tsx", R"(<tileset name="ext" firstgid="101" tilewidth="16" tileheight="8">)"
                                R"(<image source="ext.png"/><tileset source="ts.tsx"/></tileset>)");
    folder.write("maps/loop.tsx", R"(<tileset source="loop.tsx"/>)");
    folder.write("secret.tsx", R"(<tileset name="outside" firstgid="1"/>)");
    const std::string map = folder.write("maps/m.tmx", mapXML(R"(<tileset firstgid="5" source="ts.tsx"/>)"
                                                              R"(<tileset source="loop.tsx"/>)"
                                                              R"(<tileset source="../secret.tsx"/>)"
                                                              R"(<tileset source=")" + folder.file("secret.tsx") + "\"/>"));
    LogCapture capture;
    const RefPtr<CCTMXMapInfo> info = CCTMXMapInfo::formatWithTMXFile(map);
    ASSERT_TRUE(info && info->tilesets().size() == 1);
    const CCTMXTilesetInfo& tileset = *info->tilesets()[0];
    EXPECT_EQ((std::vector<uint32_t>{tileset.firstGid(), uint32_t(tileset.tileSize().width)}),
              (std::vector<uint32_t>{101, 16}));
    EXPECT_EQ(tileset.sourceImage(), folder.file("maps/ext.png"));
    EXPECT_TRUE(capture.contains("names another tileset document") && capture.contains("lies outside the map's folder"));
    EXPECT_EQ(CCTMXMapInfo::formatWithTMXFile(folder.file("missing.tmx")), nullptr);
}

TEST(CCTMXMapInfo, MalformedMapsKeepWhatWasReadBeforeTheFault) {
    const std::string layerA = layerXML("A", R"(encoding="base64")", base64(littleEndian({1, 2, 3, 4})));
    const struct {
        std::string xml;
        size_t layers, tilesets, groups, properties;
    } cases[] = {
        {mapXML(layerA).substr(0, mapXML(layerA).size() - 20), 1, 0, 0, 0},  // truncated
        {mapXML(layerA + "<layer name=\"B\" width=\"100000\" height=\"100000\"/><layer/>"), 1, 0, 0, 0},
        {mapXML(layerA + "<layer name=\"B\" width=\"-1\" height=\"5\"/>"), 1, 0, 0, 0},
        {R"(<!DOCTYPE map [<!ENTITY e "x">]><map><layer/></map>)", 0, 0, 0, 0},
        // Older editors write a document type line: harmless without entities. Any entity
        // declaration (amplification, outside files, unparsed data) refuses the map at it.
        {doctypeMapXML(R"(<!DOCTYPE map SYSTEM "http://mapeditor.org/dtd/1.0/map.dtd">)", layerA), 1, 0, 0, 0},
        {doctypeMapXML(R"(<!DOCTYPE map PUBLIC "-//x//y" "map.dtd" [<!ELEMENT map ANY><!-- c -->]>)", layerA), 1, 0, 0, 0},
        {doctypeMapXML(R"(<!DOCTYPE map [<!ELEMENT map ANY><!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;">]>)",
                       layerA + R"(<property name="p" value="&b;&b;"/>)"), 0, 0, 0, 0},
        {doctypeMapXML(R"(<!DOCTYPE map [<!ENTITY x SYSTEM "file:///etc/hostname">]>)", layerA + "&x;"), 0, 0, 0, 0},
        {doctypeMapXML(R"(<!DOCTYPE map [<!ENTITY % p SYSTEM "file:///etc/hostname"> %p;]>)", layerA), 0, 0, 0, 0},
        {doctypeMapXML(R"(<!DOCTYPE map [<!NOTATION n SYSTEM "n"><!ENTITY u SYSTEM "u" NDATA n>]>)", layerA), 0, 0, 0, 0},
        {mapXML(R"(<tile id="1"><property name="p" value="v"/></tile><image source="a.png"/>)"), 0, 0, 0, 0},
        {mapXML(R"(<data encoding="base64">AAAA</data><object name="o"/><polygon points="1,1"/>)"), 0, 0, 0, 0},
        {mapXML(R"(<objectgroup/><polyline points="1"/><object><property name="p" value="v"/></object>)"), 0, 0, 1, 0},
        {mapXML(R"(<tileset firstgid="1" tilewidth="0"/><layer width="1" height="1"/>)") + "<map", 1, 1, 0, 0},
        {"<map><property name=\"p\" value=\"v\"/></map><map>", 0, 0, 0, 1},
        {"", 0, 0, 0, 0},
        {"\xff\xfe<map>", 0, 0, 0, 0},
    };
    LogCapture capture;
    for (const auto& c : cases) {
        const RefPtr<CCTMXMapInfo> info = parse(c.xml);
        EXPECT_EQ((std::vector<size_t>{info->layers().size(), info->tilesets().size(), info->objectGroups().size(),
                                       info->properties().count()}),
                  (std::vector<size_t>{c.layers, c.tilesets, c.groups, c.properties}))
            << c.xml;
    }
    EXPECT_TRUE(capture.contains("refused from here on: it declares an entity"));
    EXPECT_TRUE(capture.contains("refused from here on: layer of 100000 x 100000 tiles"));
}

TEST(CCTMXMapInfo, ParsingFilesAndStringsAddsToTheRecordUpToAFault) {
    TemporaryFolder folder;
    const std::string broken = mapXML(R"(<layer name="F" width="1" height="1"/><layer name="G")");
    folder.write("broken.tmx", broken);
    folder.write("whole.tmx", mapXML(R"(<layer name="W" width="1" height="1"/>)"));
    const struct {
        const char* what;
        std::function<bool(CCTMXMapInfo&)> parse;
        bool read;
        std::string layers;  // the layer names after it, in order
        std::string logged;  // how the one line logged begins, or empty for none
    } rows[] = {
        {"a whole file", [&](CCTMXMapInfo& info) { return info.parseXMLFile(folder.file("whole.tmx")); }, true, "AW", ""},
        {"a broken file", [&](CCTMXMapInfo& info) { return info.parseXMLFile(folder.file("broken.tmx")); }, true, "AF",
         "Lumora: TMX document " + folder.file("broken.tmx") + ": "},
        {"a missing file", [&](CCTMXMapInfo& info) { return info.parseXMLFile(folder.file("missing.tmx")); }, false,
         "A", "Lumora: cannot read the TMX file " + folder.file("missing.tmx") + ": "},
        {"a broken string", [&](CCTMXMapInfo& info) { return info.parseXMLString(broken), true; }, true, "AF",
         "Lumora: TMX document TMX text: "},
        {"no text at all", [&](CCTMXMapInfo& info) { return info.parseXMLString(""), true; }, true, "A",
         "Lumora: TMX document TMX text: "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const RefPtr<CCTMXMapInfo> info = parse(mapXML(R"(<layer name="A" width="1" height="1"/>)"));
        LogCapture capture;
        EXPECT_EQ(row.parse(*info), row.read);
        std::string layers;
        for (const RefPtr<CCTMXLayerInfo>& layer : info->layers()) layers += layer->name();
        EXPECT_EQ(layers, row.layers);
        const std::vector<std::string> lines = capture.lines();
        EXPECT_EQ(lines.size(), row.logged.empty() ? 0u : 1u);
        EXPECT_TRUE(lines.empty() || lines[0].starts_with(row.logged)) << lines[0];
    }
}

TEST(CCTMXMapInfo, LayerOpacityIsClampedToAByteAndNeverTakenFromTheDTD) {
    // Attribute text and the opacity read.
    const std::pair<const char*, uint8_t> opacities[] = {
        {"0.5", 127}, {"1", 255}, {"0", 0}, {"-1", 0}, {"2.0", 255}, {"1.004", 255}, {"-0.004", 0},
        {"1e999", 0}, {"-1e999", 0}, {"1e39", 0}, {"none", 0},
    };
    std::string layers;
    for (const auto& row : opacities) {
        layers += R"(<layer name="L" width="1" height="1" opacity=")" + std::string(row.first) + R"("/>)";
    }
    const RefPtr<CCTMXMapInfo> info = parse(mapXML(layers));
    ASSERT_EQ(info->layers().size(), std::size(opacities));
    for (size_t i = 0; i < std::size(opacities); ++i) {
        EXPECT_EQ(info->layers()[i]->opacity(), opacities[i].second) << opacities[i].first;
    }

    // A layer without the attribute is opaque: the external DTD's default of 0 is never read.
    TemporaryFolder folder;
    const std::string dtd = folder.write("map.dtd", R"(<!ATTLIST layer opacity CDATA "0"><!ENTITY e "x">)");
    LogCapture capture;
    const RefPtr<CCTMXMapInfo> typed =
        parse(doctypeMapXML("<!DOCTYPE map SYSTEM \"" + dtd + "\">", R"(<layer name="D" width="1" height="1"/>)"));
    ASSERT_EQ(typed->layers().size(), 1u);
    EXPECT_EQ(typed->layers()[0]->opacity(), 255);
    EXPECT_TRUE(capture.lines().empty());
}

TEST(CCTMXMapInfo, ReplacedRecordListsTakeNothingALaterDocumentMeantForTheOldRecords) {
    // A document cut inside a layer's data or an object group, the lists replaced, then a later
    // document whose property and data would have gone to the record left open.
    const RefPtr<CCTMXLayerInfo> layer = makeRef<CCTMXLayerInfo>();
    const RefPtr<CCTMXObjectGroup> group = makeRef<CCTMXObjectGroup>();
    const struct {
        const char* cut;
        std::function<void(CCTMXMapInfo&)> replace;
        const char* later;
    } rows[] = {
        {R"(<layer name="A" width="1" height="1"><data encoding="base64">AQAA)",
         [&](CCTMXMapInfo& info) { info.setLayers({layer}); }, R"(<property name="p" value="v"/>)"},
        {R"(<layer name="A" width="1" height="1"><data encoding="base64">AQAA)",
         [](CCTMXMapInfo& info) { info.setLayers({}); }, "<data/>"},
        {R"(<objectgroup name="G">)", [&](CCTMXMapInfo& info) { info.setObjectGroups({group}); },
         R"(<property name="p" value="v"/>)"},
    };
    const LogCapture quiet;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.cut);
        const RefPtr<CCTMXMapInfo> info = parse(mapXML(row.cut));
        row.replace(*info);
        info->parseXMLString(row.later);
    }
    EXPECT_EQ(layer->properties().count(), 0u);
    EXPECT_TRUE(layer->tiles().empty());
    EXPECT_EQ(group->properties().count(), 0u);

    const RefPtr<CCTMXMapInfo> info = parse(mapXML(""));
    EXPECT_THROW(info->setTilesets({nullptr}), NamedException);
    EXPECT_TRUE(info->tilesets().empty());
}

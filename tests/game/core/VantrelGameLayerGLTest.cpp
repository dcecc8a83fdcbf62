#include "game/core/VantrelGameLayer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "shell/GameKitHelper.h"
#include "shell/VantrelGlobal.h"
#include "shell/VantrelTransitionLayer.h"
#include "engine/core/CCScheduler.h"
#include "engine/core/CCLayerGradient.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCLabelBMFont.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "engine/render/CCParticleBatchNode.h"
#include "engine/render/CCSprite.h"
#include "game/core/CCCircle.h"
#include "game/core/CCDonut.h"
#include "game/core/Camera.h"
#include "game/core/Hud.h"
#include "game/core/Level.h"
#include "game/core/PlaySceneTestSupport.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "platform/image/Image.h"
#include "support/AllocationCounter.h"
#include "support/CountingCursorHider.h"
#include "support/CountingSystemActivity.h"
#include "support/GLSceneTest.h"
#include "support/GameArtFiles.h"
#include "support/LevelTestSupport.h"

namespace {

// The play scene, counting the ends of its day.
class CountingGameLayer : public VantrelGameLayer {
public:
    void onGameComplete() override {
        ++completions;
        VantrelGameLayer::onGameComplete();
    }
    int completions = 0;
};

// The play scene run without drawing: its frames are the scheduler's ticks at 1/60 s.
class VantrelGameLayerTest : public GLSceneTest {
protected:
    void SetUp() override {
        world_ = &LevelTestWorld::shared();
        GLSceneTest::SetUp();
        registerStandInKinds();
        VantrelTransitionLayer::registerScene(VantrelTransitionLayer::kMenuClassName, [this] {
            ++menusBuilt_;
            return CCScene::node();
        });
        // The transition's hold ends as soon as it begins.
        VantrelTransitionLayer::setWallClockDelay([](double, std::function<void()> block) {
            block();
            return std::function<void()>();
        });
    }
    void TearDown() override {
        layer_.reset();
        game::GameObjectKinds::unregisterKinds();
        VantrelTransitionLayer::registerScene(VantrelTransitionLayer::kMenuClassName, [] { return CCScene::node(); });
        VantrelTransitionLayer::setWallClockDelay(nullptr);
        GLSceneTest::TearDown();
    }

    // Starts a game of the level, entering its scene.
    CountingGameLayer* start(const std::string& id, const Value& info, const Value& geometry = dict({}),
                             const Value& objects = testLevelObjects()) {
        world_->writeLevel(id, info, geometry, objects);
        layer_ = makeRef<CountingGameLayer>();
        return runPlayScene(layer_.get(), id, director_.get()) ? layer_.get() : nullptr;
    }

    void tick(int frames) {
        for (int i = 0; i < frames; ++i) director_->scheduler()->update(1 / 60.0f);
    }

    // The game keeps its window's first size as the size it lays out for (full screen only
    // scales the picture): a window of that height, 1024 wide.
    void useWindowOfHeight(int height) {
        resizeWindow(1024, height);
        director_->setOriginalWinSize({1024, static_cast<double>(height)});
        director_->setProjection(CCProjectionKind2D);
        ASSERT_EQ(director_->winSize().height, height);
    }

    LevelTestWorld* world_ = nullptr;
    RefPtr<CountingGameLayer> layer_;
    int menusBuilt_ = 0;
    CountingSystemActivity activity_;
    CountingCursorHider cursor_;
};

// What a run leaves behind, folded into one number.
uint64_t stateHash(VantrelGameLayer* layer) {
    uint64_t hash = 1469598103934665603ull;
    auto mix = [&hash](double value) {
        hash ^= std::hash<double>{}(value);
        hash *= 1099511628211ull;
    };
    Level* level = layer->level();
    for (double value : {double(level->timeState()), double(level->currentTimeOfDay()),
                         double(level->currentTimeOfNight()), layer->gameCamera()->position().x,
                         layer->gameCamera()->position().y, double(layer->cameraZoom()), double(layer->activityTicks())}) {
        mix(value);
    }
    const ccColor3B colours[] = {level->skyColourCurrentTop(), level->skyColourCurrentBottom(),
                                 layer->terrainBackgroundNear()->color(), layer->terrainGround()->color()};
    for (const ccColor3B& c : colours) mix(c.r * 65536.0 + c.g * 256.0 + c.b);
    return hash;
}

TEST_F(VantrelGameLayerTest, ADayRunsFromDawnToNightAndQuittingSavesAndLeavesForTheMenu) {
    uint64_t hashes[2] = {};
    for (uint64_t& hash : hashes) {
        Random::seed(7);
        Value info = testLevelInfo("test_a", 12);
        info.set("ground_in_front", true);
        CountingGameLayer* layer = start("test_a", info);
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(VantrelGlobal::sharedInstance()->gameState(), VantrelGlobal::kStatePlay);
        EXPECT_EQ(VantrelGlobal::sharedInstance()->nextLevelId(), "");
        EXPECT_EQ(VantrelGlobal::sharedInstance()->lastLevelId(), "test_a");
        EXPECT_EQ(layer->terrainGround()->zOrder(), VantrelGameLayer::kGroundInFrontZ);
        EXPECT_TRUE(layer->allowGameControls());

        tick(17 * 60 + 30);  // 12 s of day, 4 s of dusk and some night
        EXPECT_EQ(layer->completions, 1);
        EXPECT_EQ(layer->level()->timeState(), Level::kTimeNight);
        EXPECT_EQ(layer->terrainGround()->zOrder(), 0) << "the ground goes back behind the bee at night";
        EXPECT_EQ(layer->terrainFill()->zOrder(), 0);
        EXPECT_FALSE(layer->allowGameControls());
        EXPECT_TRUE(layer->ignoreCameraBottom());
        EXPECT_FALSE(layer->sunMoonHolder()->visible());
        EXPECT_EQ(layer->terrainBackgroundNear()->color(), (ccColor3B{60, 60, 120})) << "the night tint";
        EXPECT_EQ(layer->terrainGround()->color(), (ccColor3B{60, 60, 120}));
        EXPECT_TRUE(layer->worldTintComplete());
        hash = stateHash(layer);

        layer->quitGame();
        const std::string data = applicationDataFolder();
        EXPECT_TRUE(std::filesystem::exists(data + "/Scores.archive"));
        EXPECT_TRUE(std::filesystem::exists(data + "/Stats.archive"));
        auto* transition = dynamic_cast<VantrelTransitionLayer*>(
            static_cast<CCNode*>(director_->nextScene()->children()->objectAtIndex(0)));
        ASSERT_NE(transition, nullptr);
        EXPECT_EQ(transition->destination(), VantrelTransitionLayer::kMenuClassName);
        runFrames(40);  // set-up and the bee's slide in
        EXPECT_GE(menusBuilt_, 1) << "the transition builds the menu";
        layer_.reset();
        EXPECT_EQ(VantrelGameLayer::currentGameLayer(), nullptr);
        menusBuilt_ = 0;
    }
    EXPECT_EQ(hashes[0], hashes[1]);
}

TEST_F(VantrelGameLayerTest, ARefusedLevelLeavesNoSceneAndTheMenuIsBuiltInstead) {
    world_->writeLevel("bad", testLevelInfo("bad", 0), dict({}), testLevelObjects());
    VantrelGlobal::sharedInstance()->setNextLevelId("bad");
    LogCapture log;
    EXPECT_EQ(VantrelGameLayer::scene(), nullptr);
    EXPECT_EQ(VantrelGameLayer::currentGameLayer(), nullptr);
    EXPECT_EQ(VantrelGameLayer::currentPhysicsWorld(), nullptr);
    EXPECT_EQ(Level::currentLevel(), nullptr);
    EXPECT_EQ(GameKitHelper::sharedInstance()->delegate(), nullptr);

    // The same through the transition, and with a level without a hive.
    ASSERT_TRUE(VantrelTransitionLayer::isSceneRegistered(VantrelGameLayer::kClassName));
    const std::pair<double, Value> cases[] = {{0, testLevelObjects()}, {10, dict({{"gameobjects", array({})}})}};
    for (const auto& [day, objects] : cases) {
        world_->writeLevel("bad", testLevelInfo("bad", day), dict({}), objects);
        VantrelGlobal::sharedInstance()->setNextLevelId("bad");
        const RefPtr<VantrelTransitionLayer> transition = makeRef<VantrelTransitionLayer>(VantrelGameLayer::kClassName);
        menusBuilt_ = 0;
        EXPECT_NE(transition->buildDestinationScene(), nullptr);
        EXPECT_EQ(menusBuilt_, 1);
        EXPECT_EQ(VantrelGameLayer::currentGameLayer(), nullptr);
    }
    EXPECT_TRUE(log.contains("back to \"VantrelMenuLayer\""));
}

TEST_F(VantrelGameLayerTest, KeepsTheDisplayAwakeEvery902UnpausedFrames) {
    CountingGameLayer* layer = start("test_a", testLevelInfo("test_a", 120));
    ASSERT_NE(layer, nullptr);
    const int before = activity_.keepAwakeCalls;
    // The call comes on the frame that finds the counter below zero.
    tick(layer->activityTicks() + 1);
    EXPECT_EQ(activity_.keepAwakeCalls, before);
    tick(1);
    EXPECT_EQ(activity_.keepAwakeCalls, before + 1);
    layer->pauseGame();
    EXPECT_TRUE(layer->gamePaused());
    tick(2000);
    EXPECT_EQ(activity_.keepAwakeCalls, before + 1) << "paused frames do not count";
    layer->resumeGame();
    tick(901);
    EXPECT_EQ(activity_.keepAwakeCalls, before + 1);
    tick(1);
    EXPECT_EQ(activity_.keepAwakeCalls, before + 2);
}

TEST_F(VantrelGameLayerTest, TheTintDarkensTheWorldButSparesTheHive) {
    CountingGameLayer* layer = start("test_a", testLevelInfo("test_a", 120));
    ASSERT_NE(layer, nullptr);
    auto* hive = dynamic_cast<StandInHive*>(layer->level()->hive());
    ASSERT_NE(hive, nullptr);
    layer->tintWorld({128, 64, 255}, 0);
    EXPECT_EQ(layer->terrainGround()->color(), (ccColor3B{128, 64, 255}));
    EXPECT_EQ(layer->terrainBackgroundFar()->color(), (ccColor3B{128, 64, 255}));
    // The fill (100, 80, 60) times the tint over 255, truncated.
    EXPECT_EQ(layer->terrainFill()->color(), (ccColor3B{50, 20, 60}));
    EXPECT_EQ(hive->tint, (ccColor3B{255, 255, 255}));

    layer->tintWorld({0, 0, 0}, 1.0f);
    tick(30);
    const ccColor3B halfway = layer->terrainGround()->color();
    EXPECT_GT(halfway.r, 0);
    EXPECT_LT(halfway.r, 128);
    tick(40);
    EXPECT_EQ(layer->terrainGround()->color(), (ccColor3B{0, 0, 0}));
    EXPECT_TRUE(layer->worldTintComplete());
    EXPECT_EQ(hive->tint, (ccColor3B{255, 255, 255}));
}

TEST_F(VantrelGameLayerTest, CameraZoomFollowsItsHeight) {
    // Window 320 x 240: floor 1000 + 40, ceiling 2000 - 120.
    CountingGameLayer* layer = start("test_a", testLevelInfo("test_a", 120));
    ASSERT_NE(layer, nullptr);
    struct Case {
        CGPoint at;
        CGPoint placed;
        float zoom;
    } cases[] = {
        {{0, 1040}, {0, 1040}, 1.5f},  {{0, 1460}, {0, 1460}, 1.25f}, {{0, 1880}, {0, 1880}, 1.0f},
        {{0, 3000}, {0, 1880}, 1.0f},  {{0, 0}, {0, 1040}, 1.5f},     {{600, 0}, {1040, 0}, 1.5f},
    };
    for (const Case& c : cases) {
        layer->gameCamera()->setPosition(c.at);
        layer->updateCamera(0);
        EXPECT_NEAR(layer->gameCamera()->position().x, c.placed.x, 1e-3) << c.at.x << ", " << c.at.y;
        EXPECT_NEAR(layer->gameCamera()->position().y, c.placed.y, 1e-3) << c.at.x << ", " << c.at.y;
        EXPECT_NEAR(layer->cameraZoom(), c.zoom, 1e-5) << c.at.x << ", " << c.at.y;
    }
    EXPECT_NEAR(layer->cameraTangentAngle(), -90, 1e-4) << "the last camera stands right of the centre";
    EXPECT_NEAR(layer->gameCamera()->inverseRotation(), 90, 1e-3);
    EXPECT_NEAR(layer->gameCamera()->inverseScale(), 1.5, 1e-5);
}

TEST_F(VantrelGameLayerTest, AWindowTallerThanTheFlyingBandKeepsTheLevelAndFitsTheCamera) {
    // The test planet's band runs from the ground (1000) to the sky (2000). The camera's floor
    // keeps the ground a quarter window below it at its highest zoom, its ceiling the sky half a
    // window above it at its lowest; the two stay a quarter of the band apart, and the zoom
    // limits keep their ratio of 1.5.
    const struct {
        int height;
        float zoomMin;
    } rows[] = {{768, 1.0f}, {1080, 1.0f}, {1600, 1600 * 2 / 3.0f / 750}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.height);
        useWindowOfHeight(row.height);
        CountingGameLayer* layer = start("test_a", testLevelInfo("test_a", 120));
        ASSERT_NE(layer, nullptr);
        const float h = static_cast<float>(row.height);
        EXPECT_NEAR(layer->cameraZoomMin(), row.zoomMin, 1e-5);
        EXPECT_NEAR(layer->cameraZoomMax(), 1.5f * row.zoomMin, 1e-5);
        EXPECT_NEAR(layer->cameraBottom() - 1000, 0.25f * h / layer->cameraZoomMax(), 1e-2);
        EXPECT_NEAR(2000 - layer->cameraTop(), 0.5f * h / layer->cameraZoomMin(), 1e-2);
        EXPECT_GE(layer->cameraTop() - layer->cameraBottom(), 250 - 1e-2);
        EXPECT_GT(layer->gradientBackgroundRange(), 0);
        // Placed anywhere, the camera stays between its floor and ceiling with a zoom between
        // its limits: 1.5 x the lowest at the floor, the lowest at the ceiling.
        const struct {
            float distance;
            float placed;
            float zoom;
        } places[] = {{0, layer->cameraBottom(), layer->cameraZoomMax()},
                      {1500, std::clamp(1500.0f, layer->cameraBottom(), layer->cameraTop()), NAN},
                      {5000, layer->cameraTop(), layer->cameraZoomMin()}};
        for (const auto& place : places) {
            layer->gameCamera()->setPosition(CGPointMake(0, place.distance));
            layer->updateCamera(0);
            EXPECT_NEAR(layer->gameCamera()->position().y, place.placed, 1e-2) << place.distance;
            EXPECT_GE(layer->cameraZoom(), layer->cameraZoomMin());
            EXPECT_LE(layer->cameraZoom(), layer->cameraZoomMax());
            if (!std::isnan(place.zoom)) {
                EXPECT_NEAR(layer->cameraZoom(), place.zoom, 1e-4) << place.distance;
            }
        }
        tick(60);
        EXPECT_TRUE(std::isfinite(layer->gradientBackground()->position().y));
        layer_.reset();
        runFrames(1);
    }
}

TEST_F(VantrelGameLayerTest, EveryShippedLevelPlaysInAWindow1600Tall) {
    ScopedResourceFolder resources(VANTREL_APP_RESOURCES);
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    std::optional<ShippedObjectKinds> kinds(std::in_place);
    useWindowOfHeight(1600);
    int levels = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VANTREL_APP_RESOURCES)) {
        const std::string name = entry.path().filename().string();
        const std::string id = name.substr(0, name.size() - 6);
        if (!name.ends_with(".plist") || !std::filesystem::exists(entry.path().parent_path() / (id + "_objects.plist"))) {
            continue;
        }
        SCOPED_TRACE(id);
        ++levels;
        VantrelGlobal::sharedInstance()->setNextLevelId(id);
        const RefPtr<CCScene> scene = VantrelGameLayer::scene();
        ASSERT_NE(scene, nullptr);
        director_->replaceScene(scene);
        runFrames(2);
    }
    EXPECT_GE(levels, 12);
    director_->replaceScene(CCScene::node());
    runFrames(1);
    kinds.reset();
    registerStandInKinds();  // as the fixture left them
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
}

TEST_F(VantrelGameLayerTest, ALevelWithoutItsHudSheetOrFontsIsRefusedAndTheMenuComesInstead) {
    const struct {
        const char* name;
        std::function<void(TemporaryFolder&)> spoil;
        const char* logged;
    } rows[] = {
        {"no HUD sheet", [](TemporaryFolder& f) { std::filesystem::remove(f.file("hud.plist")); }, "no \"hud.plist\""},
        {"no HUD picture", [](TemporaryFolder& f) { std::filesystem::remove(f.file("hud.png")); }, "hud.png"},
        {"a HUD frame missing",
         [](TemporaryFolder& f) {
             std::vector<SheetFrame> frames = hudSheet::frames();
             frames.pop_back();
             writeSpriteSheet(f, "hud", frames);
         },
         "end_title_hive_opened.png"},
        {"no large font", [](TemporaryFolder& f) { std::filesystem::remove(f.file("FuturaBeeLarge_osx.fnt")); },
         "FuturaBeeLarge_osx.fnt"},
        {"no page of the small font", [](TemporaryFolder& f) { std::filesystem::remove(f.file("FuturaBee_osx.png")); },
         "FuturaBee_osx.png"},
    };
    ASSERT_TRUE(VantrelTransitionLayer::isSceneRegistered(VantrelGameLayer::kClassName));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TemporaryFolder folder;
        ASSERT_TRUE(writeBeeSheet(folder.path()));
        hudSheet::write(folder);
        writeCellFont(folder, "FuturaBeeLarge_osx", 8, 12);
        writeCellFont(folder, "FuturaBee_osx", 4, 6);
        folder.write("test_a.plist", testLevelInfo("test_a", 120).toXML());
        folder.write("test_a_geometry.plist", dict({}).toXML());
        folder.write("test_a_objects.plist", testLevelObjects().toXML());
        row.spoil(folder);
        ScopedResourceFolder resources(folder.path());
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        CCSpriteFrameCache::sharedSpriteFrameCache()->removeSpriteFrames();
        CCTextureCache::sharedTextureCache()->removeAllTextures();
        CCLabelBMFont::purgeCachedData();

        VantrelGlobal::sharedInstance()->setNextLevelId("test_a");
        const RefPtr<VantrelTransitionLayer> transition = makeRef<VantrelTransitionLayer>(VantrelGameLayer::kClassName);
        menusBuilt_ = 0;
        LogCapture log;
        EXPECT_NE(transition->buildDestinationScene(), nullptr);
        EXPECT_EQ(menusBuilt_, 1) << "back to the menu";
        EXPECT_TRUE(log.contains(row.logged));
        EXPECT_TRUE(log.contains("is refused"));
        EXPECT_EQ(VantrelGameLayer::currentGameLayer(), nullptr);
        EXPECT_EQ(Hud::currentHud(), nullptr);
        EXPECT_EQ(Player::currentPlayer(), nullptr);
    }
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
}

TEST_F(VantrelGameLayerTest, QuitFinishAndReplayLeaveForTheirScenes) {
    struct Case {
        const char* name;
        void (VantrelGameLayer::*leave)();
        const char* destination;
        const char* nextLevel;
    } cases[] = {
        {"quit", &VantrelGameLayer::quitGame, VantrelTransitionLayer::kMenuClassName, ""},
        {"finish", &VantrelGameLayer::finishGame, VantrelTransitionLayer::kMenuClassName, ""},
        {"replay", &VantrelGameLayer::replayGame, VantrelGameLayer::kClassName, "test_a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VantrelGlobal::sharedInstance()->setLastLevelHasNewHighScore(true);
        CountingGameLayer* layer = start("test_a", testLevelInfo("test_a", 120));
        ASSERT_NE(layer, nullptr);
        (layer->*c.leave)();
        auto* transition = dynamic_cast<VantrelTransitionLayer*>(
            static_cast<CCNode*>(director_->nextScene()->children()->objectAtIndex(0)));
        ASSERT_NE(transition, nullptr);
        EXPECT_EQ(transition->destination(), c.destination);
        EXPECT_EQ(VantrelGlobal::sharedInstance()->nextLevelId(), c.nextLevel);
        EXPECT_TRUE(VantrelGlobal::sharedInstance()->lastLevelHasNewHighScore()) << "never set back";
        runFrames(3);
        layer_.reset();
    }
}

// A picture of one colour, or of two: the left half `left`, the right half `right`.
void writePicture(const std::string& path, uint32_t width, uint32_t height, ccColor3B left, ccColor3B right) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const ccColor3B c = x < width / 2 ? left : right;
            uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = 255;
        }
    }
    Image(width, height, false, std::move(pixels)).writePNG(path);
}

// A small planet drawn with pictures of its own: a red and green ground ring 20 deep at radius
// 1000, repeated 60 times, over a green fill, a night sky blue at the top and red at the bottom, a yellow sun, and
// a world tint that stays white.
class DrawnLevelTest : public VantrelGameLayerTest {
protected:
    void SetUp() override {
        VantrelGameLayerTest::SetUp();
        writePicture(world_->path() + "/ring.png", 64, 16, {255, 0, 0}, {0, 255, 0});
        writePicture(world_->path() + "/sky.png", 16, 16, {255, 230, 0}, {255, 230, 0});
        writePicture(world_->path() + "/stone.png", 8, 8, {90, 90, 90}, {90, 90, 90});
        const Value frame = dict({{"frame", "{{0,0},{16,16}}"},
                                  {"offset", "{0,0}"},
                                  {"rotated", false},
                                  {"sourceColorRect", "{{0,0},{16,16}}"},
                                  {"sourceSize", "{16,16}"}});
        world_->writeList("sky.plist", dict({{"frames", dict({{"sun.png", frame}})},
                                             {"metadata", dict({{"format", 2}, {"textureFileName", "sky.png"}})}}));
        info_ = testLevelInfo("drawn", 120);
        const Value changes = dict({{"spawn_position", "{0, 1040}"},
                                    {"ground_depth", 20},
                                              {"ground_repeat", 60},
                                              {"ground_image", "ring.png"},
                                              {"bgnear_image", "ring.png"},
                                              {"bgfar_image", "ring.png"},
                                              {"bgnear_radius", 500},
                                              {"bgfar_radius", 450},
                                              {"ground_fill_colour", "{40,200,40,255}"},
                                              {"sky_night_top", "{0,0,255}"},
                                              {"sky_night_bottom", "{255,0,0}"},
                                              {"night_colour", "{255,255,255}"},
                                              {"time_image", "sun.png"},
                                    {"sky_texture_atlases", array({"sky.plist"})}});
        for (const auto& [key, value] : changes.entries()) info_.set(key, value);
    }
    Value info_;
};

TEST_F(DrawnLevelTest, TheFirstFrameShowsSkyGroundFillAndTheSunAtDawn) {
    CountingGameLayer* layer = start("drawn", info_);
    ASSERT_NE(layer, nullptr);
    // The camera rests on its floor straight above the centre: world (0, 1040) at the window's
    // centre, zoom 1.5, so the ground's edge is at y 60 and the fill shows below y 30.
    const ccColor4B top = pixel(160, 235);
    const ccColor4B low = pixel(160, 75);
    EXPECT_GT(top.b, low.b) << "the sky is bluer at the top";
    EXPECT_GT(low.r, top.r) << "and redder at the bottom";
    EXPECT_TRUE(pixelNear(180, 45, {255, 0, 0})) << "each repeat of the ring's texture starts at the top, clockwise";
    EXPECT_TRUE(pixelNear(140, 45, {0, 255, 0})) << "and the one before ends there";
    EXPECT_TRUE(pixelNear(160, 15, {40, 200, 40})) << "the fill inside the ring";

    ASSERT_NE(layer->sunMoon(), nullptr);
    const CGPoint sun = layer->sunMoon()->convertToWorldSpaceAR(CGPointZero);
    EXPECT_LT(sun.x, 20) << "at dawn the sun rises at the left";
    EXPECT_TRUE(pixelNear(static_cast<int>(sun.x) + 8, static_cast<int>(sun.y) + 4, {255, 230, 0}));

    layer->tintWorld({128, 128, 128}, 0);
    runFrames(1);
    EXPECT_TRUE(pixelNear(180, 45, {128, 0, 0})) << "the tint darkens the ring";
    EXPECT_TRUE(pixelNear(160, 15, {20, 100, 20})) << "and the fill";
}

TEST_F(DrawnLevelTest, SpritesOfTheLevelFileTakeTheirScalesAndSkipHiddenNames) {
    const Value sprites = array({dict({{"image_name", "stone.png"}, {"position", "{0, 1010}"}, {"scale_x", 2}}),
                                 dict({{"image_name", "_stone.png"}, {"position", "{0, 1010}"}}),
                                 dict({{"image_name", ""}}),
                                 dict({{"image_name", "stone.png"}, {"scale_x", 2}, {"scale_y", 3}, {"rotation", 30}}),
                                 dict({{"image_name", "sun.png"}}),
                                 dict({{"image_name", "nowhere.png"}})});
    LogCapture log;
    CountingGameLayer* layer =
        start("drawn", info_, dict({{"foreground_sprites", sprites}, {"front_sprites", array({})}}));
    ASSERT_NE(layer, nullptr);
    CCArray* children = layer->foregroundHolder()->children();
    ASSERT_NE(children, nullptr);
    ASSERT_EQ(children->count(), 2u) << "hidden, empty, missing and sheetless names are skipped";
    auto* first = static_cast<CCNode*>(children->objectAtIndex(0));
    auto* second = static_cast<CCNode*>(children->objectAtIndex(1));
    EXPECT_EQ(first->scaleX(), 1) << "\"scale_x\" alone";
    EXPECT_EQ(first->scaleY(), 1);
    EXPECT_EQ(second->scaleX(), 2);
    EXPECT_EQ(second->scaleY(), 3);
    EXPECT_EQ(second->rotation(), -30);
    EXPECT_TRUE(layer->foregroundHolder()->visible());
    EXPECT_FALSE(layer->frontHolder()->visible()) << "no front sprites";
    EXPECT_FALSE(layer->level()->hasFrontLayer());
    EXPECT_TRUE(log.contains("nowhere.png"));
    EXPECT_TRUE(log.contains("\"sun.png\" has no sprite sheet in layer 3"));
    EXPECT_EQ(layer->level()->picturesLeftOut(), 2u) << "the sheetless and the missing picture";
}

TEST_F(DrawnLevelTest, ARunningDayAllocatesNothingPerFrame) {
    CountingGameLayer* layer = start("drawn", info_);
    ASSERT_NE(layer, nullptr);
    tick(30);  // the dawn tint runs
    ASSERT_FALSE(layer->worldTintComplete());
    AllocationCounter allocations;
    tick(60);
    EXPECT_EQ(allocations.count(), 0u);
}

TEST_F(VantrelGameLayerTest, MeadowAOpensOnANightSkyWithTheSunRisingAndTheGroundBelow) {
    ScopedResourceFolder resources(VANTREL_APP_RESOURCES);
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    Random::seed(3);
    VantrelGlobal::sharedInstance()->setNextLevelId("meadow_a");
    layer_ = makeRef<CountingGameLayer>();
    ASSERT_TRUE(layer_->init());
    RefPtr<CCScene> scene = CCScene::node();
    scene->addChild(layer_.get());
    director_->replaceScene(scene);
    runFrames(1);
    Level* level = layer_->level();

    // Dawn begins at night: the gradient shows the night colours, from the bottom one to the top.
    const ccColor3B nightTop = level->skyColourCurrentTop();
    const ccColor3B nightBottom = level->skyColourCurrentBottom();
    EXPECT_EQ(nightTop, (ccColor3B{10, 14, 50}));
    const ccColor4B sky = pixel(160, 230);
    EXPECT_GE(sky.b, nightTop.b - kTolerance);
    EXPECT_LE(sky.b, nightBottom.b + kTolerance);
    EXPECT_LE(sky.r, nightBottom.r + kTolerance);

    ASSERT_NE(layer_->sunMoon(), nullptr);
    const CGPoint sun = layer_->sunMoon()->convertToWorldSpaceAR(CGPointZero);
    EXPECT_LT(sun.x, 40) << "the sun rises at the left";
    const ccColor4B sunPixel = pixel(std::clamp(static_cast<int>(sun.x) + 12, 0, 319), static_cast<int>(sun.y));
    EXPECT_GT(sunPixel.r, 150);
    EXPECT_GT(sunPixel.r, sunPixel.b + 60);

    // The HUD's pause menu comes and goes with the pause.
    ASSERT_NE(layer_->hud(), nullptr);
    EXPECT_EQ(Hud::currentHud(), layer_->hud());
    layer_->togglePauseGame();
    EXPECT_EQ(layer_->hud()->gameMenuState(), Hud::kMenuOpening);
    layer_->togglePauseGame();
    EXPECT_EQ(layer_->hud()->gameMenuState(), Hud::kMenuClosing);
    EXPECT_FALSE(layer_->gamePaused());

    // Fourteen clouds and seeds in the sky's sheet; four particle pools of three on the generic
    // texture, the flower's own beside them; effects that play once and go.
    CCNode* skyBatch = static_cast<CCNode*>(layer_->skyHolder()->children()->objectAtIndex(0));
    EXPECT_EQ(skyBatch->children()->count(), 14u);
    EXPECT_EQ(layer_->particlesGenericHolder()->children()->count(), 12u);
    EXPECT_EQ(layer_->particlesHolder()->children()->count(), 4u);
    CCSprite* effect = level->showEffect("sparkle", CGPointMake(0, 1300), 0, 1);
    ASSERT_NE(effect, nullptr);
    CCNode* effects = effect->parent();
    EXPECT_EQ(effects->children()->count(), 1u);
    tick(30);
    EXPECT_EQ(effects->children()->count(), 0u) << "the effect removed itself";

    // Down on the camera's floor above the hive, in daylight, the ground's edge is at y 60.
    layer_->pauseSchedulerAndActions();
    layer_->tintWorld({255, 255, 255}, 0);
    const CGPoint hive = static_cast<StandInHive*>(level->hive())->position();
    const double distance = std::hypot(hive.x, hive.y);
    layer_->gameCamera()->setPosition(CGPointMake(hive.x / distance * 1240, hive.y / distance * 1240));
    layer_->updateCamera(0);
    runFrames(1);
    const ccColor4B ground = pixel(160, 40);
    EXPECT_GT(ground.g, ground.b + 30) << "grass, not the night sky";
    layer_->tintWorld({70, 70, 130}, 0);
    runFrames(1);
    const ccColor4B tinted = pixel(160, 40);
    EXPECT_LE(tinted.r, ground.r * 70 / 255 + kTolerance) << "the night tint darkens the ground";
    EXPECT_LE(tinted.g, ground.g * 70 / 255 + kTolerance);
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
}

}  // namespace

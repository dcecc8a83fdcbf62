// A level's three files ("fuzz.plist", "fuzz_geometry.plist", "fuzz_objects.plist", in that
// order, separated by lines holding only "%%") read into a play scene that has its physics but
// draws nothing: a level is refused or loads, and a loaded one runs its clock to night with
// finite sky, camera floor, height and night-flight answers.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzInputFile.h"
#include "FuzzLevelParts.h"
#include "engine/core/CCDirectorMac.h"
#include "engine/core/support/CCFileUtils.h"
#include "game/core/HiveProtocol.h"
#include "game/core/Level.h"
#include "game/core/Player.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/GameObjectKinds.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "tests/support/PhysicsOnlyLayer.h"

namespace {

class FuzzHive : public GameObject, public HiveProtocol {
public:
    static RefPtr<GameObject> make(const Value& data) {
        RefPtr<FuzzHive> hive = makeRef<FuzzHive>();
        hive->initGameObjectWithGameData(data);
        hive->setPriority(2);
        hive->position_ = CGPointFromString(data["position"].stringValue());
        return hive;
    }
    CGPoint position() const override { return position_; }
    void setTint(ccColor3B) override {}

private:
    CGPoint position_ = CGPointZero;
};

class FuzzObject : public GameObject {
public:
    static RefPtr<GameObject> make(const Value& data) {
        RefPtr<FuzzObject> object = makeRef<FuzzObject>();
        object->initGameObjectWithGameData(data);
        object->setPriority(static_cast<uint32_t>(data["priority"].intValue()) % 3);
        return object;
    }
};

class FuzzPlayer : public Player {
public:
    CGPoint position() const override { return at; }
    CGPoint at = CGPointZero;
};

bool finite(CGPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

void setUp(const std::string& folder) {
    static bool done = false;
    if (done) return;
    done = true;
    useFolderAsHome(folder);
    dynamic_cast<CCDirectorMac*>(CCDirector::sharedDirector())->setOriginalWinSize(CGSizeMake(1024, 768));
    game::GameObjectKinds::registerStandIn("Hive", &FuzzHive::make);
    for (const char* kind : {"Flower", "Pickup", "Animation", "Dynamic", "Emitter", "Cloud", "Bird"}) {
        game::GameObjectKinds::registerStandIn(kind, &FuzzObject::make);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = FuzzScratchFolder::fresh();
    setUp(folder);
    LogCapture quiet;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    writeLevelParts(folder, input, {"fuzz.plist", "fuzz_geometry.plist", "fuzz_objects.plist"});
    setResourceFolder(folder);
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();

    const RefPtr<PhysicsOnlyLayer> layer = makeRef<PhysicsOnlyLayer>();
    RefPtr<Level> level = Level::levelFromFile("fuzz.plist");
    if (!level) return 0;
    level->createSkyBackground();
    level->loadLevelGeometry();
    if (!level->loadLevelObjects()) return 0;
    FuzzPlayer player;
    level->setPlayer(&player);
    const float step = std::max(level->lengthOfDay() / 50, 0.1f);
    for (int i = 0; i < 60 && level->timeState() != Level::kTimeNight; ++i) {
        level->update(step);
        player.at = CGPointMake(std::cos(i * 0.7) * level->skyRadius(), std::sin(i * 0.7) * level->skyRadius());
        if (!std::isfinite(level->getCameraBottomAtPosition(player.at))) std::abort();
        if (!std::isfinite(level->percOfAllowedLimitsAtPosition(player.at))) std::abort();
        if (!finite(level->playerAutoAcceleration())) std::abort();
        if (!(level->currentTimeOfDayPerc() >= 0 && level->currentTimeOfDayPerc() <= 1)) std::abort();
    }
    return 0;
}

#pragma once

// Levels written on the fly for the level and play-scene tests, and stand-ins for the object
// kinds a level needs (a hive, flowers, shots, plain objects of a chosen priority), registered
// with the object factory at the codes of the kinds they stand in for.

#include <cstdlib>
#include <string>

#include "engine/core/support/CCFileUtils.h"
#include "game/core/FlowerProtocol.h"
#include "game/core/GameObject.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/HiveProtocol.h"
#include "game/core/Level.h"
#include "game/core/ProjectileProtocol.h"
#include "game/objects/GameObjectKinds.h"
#include "platform/foundation/Folders.h"
#include "support/BeeSheet.h"
#include "support/GameArtFiles.h"
#include "support/TestSupport.h"
#include "support/ValueBuilders.h"

// A hive at the instance's "position"; it notes the last tint it was given.
class StandInHive : public GameObject, public HiveProtocol {
public:
    static RefPtr<GameObject> make(const Value& data) {
        RefPtr<StandInHive> hive = makeRef<StandInHive>();
        hive->initGameObjectWithGameData(data);
        hive->setPriority(2);
        hive->position_ = CGPointFromString(data["position"].stringValue());
        return hive;
    }
    CGPoint position() const override { return position_; }
    void setTint(ccColor3B colour) override {
        tint = colour;
        ++tints;
    }
    void update(float) override { ++updates; }
    void onDayIsOver() override { ++daysOver; }

    ccColor3B tint{0, 0, 0};
    int tints = 0;
    int updates = 0;
    int daysOver = 0;

private:
    CGPoint position_ = CGPointZero;
};

// Any other kind: priority from the instance's "priority" (2 when absent). A "remove_self"
// instance takes itself out of the level on its first update.
class StandInObject : public GameObject, public FlowerProtocol {
public:
    static RefPtr<GameObject> make(const Value& data) {
        RefPtr<StandInObject> object = makeRef<StandInObject>();
        object->initGameObjectWithGameData(data);
        object->setPriority(data["priority"].isNone() ? 2u : static_cast<uint32_t>(data["priority"].intValue()));
        object->removeSelf_ = data["remove_self"].boolValue();
        return object;
    }
    static RefPtr<StandInObject> withType(int32_t type, uint32_t priority) {
        RefPtr<StandInObject> object = makeRef<StandInObject>();
        object->initGameObjectWithType(type);
        object->setPriority(priority);
        return object;
    }
    void update(float) override {
        ++updates;
        if (removeSelf_ && Level::currentLevel()) Level::currentLevel()->removeGameObject(this);
    }
    void onDayIsOver() override { ++daysOver; }

    int updates = 0;
    int daysOver = 0;

private:
    bool removeSelf_ = false;
};

// A shot that leaves the level's list when destroyed.
class StandInProjectile : public GameObject, public ProjectileProtocol {
public:
    static RefPtr<StandInProjectile> make() {
        RefPtr<StandInProjectile> shot = makeRef<StandInProjectile>();
        shot->initGameObjectWithType(300);
        shot->setPriority(1);
        return shot;
    }
    uint32_t contactPlayer() override { return 0; }
    uint32_t sensorContactPlayer() override { return 0; }
    bool canHit() override { return true; }
    void contactGameObject(GameObject*) override {}
    void destroy() override {
        destroyed = true;
        if (Level::currentLevel()) Level::currentLevel()->removeProjectile(this);
    }
    bool destroyed = false;
};

// Stand-ins at the game's codes of their kinds; game::GameObjectKinds::unregisterKinds() takes them
// back.
inline void registerStandInKinds() {
    game::GameObjectKinds::registerStandIn("Hive", &StandInHive::make);
    for (const char* kind : {"Flower", "Pickup", "Animation", "Dynamic", "Emitter", "Cloud", "Bird"}) {
        game::GameObjectKinds::registerStandIn(kind, &StandInObject::make);
    }
}

// The level info of a small planet: ground 1000, sky 2000, bottom 1100, a day of `day` seconds,
// named "<id>_geometry.plist" and "<id>_objects.plist", no images.
inline Value testLevelInfo(const std::string& id, double day) {
    return dict({{"id", id},
                 {"name", "Test"},
                 {"spawn_position", "{0, 1200}"},
                 {"sky_radius", 2000},
                 {"bottom_radius", 1100},
                 {"ground_radius", 1000},
                 {"ground_depth", 100},
                 {"ground_repeat", 8},
                 {"ground_subdivisions", 64},
                 {"bgnear_radius", 950},
                 {"bgnear_height", 200},
                 {"bgnear_repeat", 6},
                 {"bgnear_subdivisions", 64},
                 {"bgnear_ratio", 0.5},
                 {"bgfar_radius", 900},
                 {"bgfar_height", 300},
                 {"bgfar_repeat", 4},
                 {"bgfar_subdivisions", 64},
                 {"bgfar_ratio", 0.25},
                 {"ground_fill_colour", "{100,80,60,255}"},
                 {"ground_fill_subdivisions", 64},
                 {"sky_begin_top", "{100,150,250}"},
                 {"sky_begin_bottom", "{200,220,250}"},
                 {"sky_end_top", "{200,100,50}"},
                 {"sky_end_bottom", "{250,180,100}"},
                 {"sky_night_top", "{0,0,40}"},
                 {"sky_night_bottom", "{20,20,80}"},
                 {"night_colour", "{60,60,120}"},
                 {"length_of_day", day},
                 {"geometry_file", id + "_geometry.plist"},
                 {"objects_file", id + "_objects.plist"}});
}

// A hive straight above the centre at radius 1000, and the given other instances.
inline Value testLevelObjects(std::initializer_list<Value> others = {}) {
    Value objects = array({dict({{"type", 1000}, {"position", "{0, 1000}"}})});
    for (const Value& other : others) objects.append(other);
    return dict({{"gameobjects", objects}});
}

// One folder of resources for the whole test program, with data folders of its own, so that the
// shared catalogue, scores and statistics never touch the user's.
class LevelTestWorld {
public:
    static LevelTestWorld& shared() {
        static LevelTestWorld world;
        return world;
    }

    const std::string& path() const { return folder_.path(); }

    // Writes the three files of a level; answers the info file's name.
    std::string writeLevel(const std::string& id, const Value& info, const Value& geometry, const Value& objects) {
        writeList(id + ".plist", info);
        writeList(id + "_geometry.plist", geometry);
        writeList(id + "_objects.plist", objects);
        return id + ".plist";
    }
    void writeList(const std::string& name, const Value& list) {
        folder_.write(name, list.toXML());
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    }
    void writeBytes(const std::string& name, const std::string& bytes) {
        folder_.write(name, bytes);
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    }

private:
    LevelTestWorld() {
        setenv("XDG_DATA_HOME", (folder_.path() + "/data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder_.path() + "/config").c_str(), 1);
        setenv("XDG_CACHE_HOME", (folder_.path() + "/cache").c_str(), 1);
        setenv("ALSOFT_DRIVERS", "null", 1);
        setResourceFolder(folder_.path());
        // A level without the bee's sheet, the HUD's sheet or the bubbles' fonts is refused.
        writeBeeSheet(folder_.path());
        hudSheet::write(folder_);
        writeCellFont(folder_, "FuturaBeeLarge_osx", 8, 12);
        writeCellFont(folder_, "FuturaBee_osx", 4, 6);
        writeList("levels.plist",
                  dict({{"level_group_order", array({"test"})},
                        {"menu_data", dict({{"test", dict({{"name", "Test"}, {"available", true}})}})},
                        {"levels", dict({{"test", array({dict({{"id", "test_a"},
                                                               {"available", true},
                                                               {"reference_score", 100},
                                                               {"unlock_next_level_score", 50},
                                                               {"use_reference_score", true}}),
                                                         dict({{"id", "test_b"},
                                                               {"available", true},
                                                               {"reference_score", 100},
                                                               {"unlock_next_level_score", 50},
                                                               {"use_reference_score", true}})})}})}}));
    }

    TemporaryFolder folder_;
};

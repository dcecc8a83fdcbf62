#include "game/core/GameObjectFactory.h"

#include <set>
#include <unordered_map>
#include <utility>

#include "game/core/GameObject.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace {

struct CodeRange {
    int64_t low;
    int64_t high;  // inclusive
    const char* kind;
};

constexpr CodeRange kCodes[] = {
    {1, 99, "Flower"},          {100, 199, "Pickup"},       {200, 208, "Cloud"},        {209, 209, "SteamCloud"},
    {210, 215, "Cloud"},        {216, 216, "SteamCloud"},   {217, 217, "Cloud"},        {220, 229, "Bird"},
    {230, 239, "GroundEnemy"},  {240, 241, "Hunter"},       {245, 247, "Bird"},         {250, 251, "Cloud"},
    {252, 257, "Bird"},         {260, 263, "GroundEnemy"},  {265, 265, "RoboCam"},      {270, 272, "Bird"},
    {300, 399, "Projectile"},   {400, 499, "Destructable"}, {500, 599, "Dynamic"},      {600, 699, "Structure"},
    {700, 799, "Emitter"},      {800, 899, "Animation"},    {1000, 1000, "Hive"},       {1001, 1001, "Rotator"},
    {1002, 1002, "Cart"},       {1003, 1003, "Crane"},      {1004, 1004, "Rotator"},    {1005, 1005, "Balloon"},
    {1006, 1006, "Rooster"},    {1007, 1007, "Raft"},       {1008, 1009, "Cart"},       {1010, 1010, "Wheel"},
    {1011, 1011, "BigBen"},     {1012, 1012, "Rooster"},    {1050, 1051, "Rotator"},    {1052, 1052, "Cart"},
};

struct Registry {
    std::unordered_map<std::string, GameObjectFactory::Constructor> constructors;
    std::set<int64_t> reportedTypes;  // codes already logged as having no registered kind
};

Registry& registry() {
    static Registry instance;
    return instance;
}

}  // namespace

void GameObjectFactory::setupFactory() { GameObject::setupGameObjects(); }

void GameObjectFactory::cleanupFactory() {
    GameObject::cleanupGameObjects();
    registry().reportedTypes.clear();
}

std::string_view GameObjectFactory::kindForType(int64_t type) {
    for (const CodeRange& range : kCodes) {
        if (type >= range.low && type <= range.high) return range.kind;
    }
    return {};
}

void GameObjectFactory::registerKind(const std::string& kind, Constructor constructor) {
    if (constructor) {
        registry().constructors[kind] = std::move(constructor);
    } else {
        registry().constructors.erase(kind);
    }
}

RefPtr<GameObject> GameObjectFactory::gameObjectWithGameData(const Value& gameData) {
    const Value& typeValue = gameData["type"];
    if (typeValue.isNone()) {
        logLine("Game objects: an object without a \"type\" is skipped");
        return nullptr;
    }
    const int64_t type = typeValue.integerValue();
    const std::string_view kind = kindForType(type);
    Registry& kinds = registry();
    if (kind.empty()) {
        if (kinds.reportedTypes.insert(type).second) {
            logLine("Game objects: type %lld builds no object; skipped", static_cast<long long>(type));
        }
        return nullptr;
    }
    const auto found = kinds.constructors.find(std::string(kind));
    if (found == kinds.constructors.end()) {
        if (kinds.reportedTypes.insert(type).second) {
            logLine("Game objects: type %lld needs the kind %.*s, which is not built; skipped",
                    static_cast<long long>(type), static_cast<int>(kind.size()), kind.data());
        }
        return nullptr;
    }
    return found->second(gameData);
}

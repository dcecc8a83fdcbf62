#include "game/core/GameObjectFactory.h"

#include <algorithm>
#include <set>
#include <utility>

#include "game/core/GameObject.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace {

struct Registry {
    std::vector<GameObjectFactory::Kind> kinds;
    std::set<int64_t> reportedTypes;  // codes already logged as building nothing
};

Registry& registry() {
    static Registry instance;
    return instance;
}

const GameObjectFactory::Kind* registeredKindForType(int64_t type) {
    for (const GameObjectFactory::Kind& kind : registry().kinds) {
        if (kind.builds(type)) return &kind;
    }
    return nullptr;
}

bool overlaps(const GameObjectFactory::CodeRange& a, const GameObjectFactory::CodeRange& b) {
    return a.first <= b.last && b.first <= a.last;
}

}  // namespace

bool GameObjectFactory::Kind::builds(int64_t type) const {
    return std::any_of(codes.begin(), codes.end(),
                       [type](const CodeRange& range) { return type >= range.first && type <= range.last; });
}

void GameObjectFactory::setupFactory() { GameObject::setupGameObjects(); }

void GameObjectFactory::cleanupFactory() {
    GameObject::cleanupGameObjects();
    registry().reportedTypes.clear();
}

std::string_view GameObjectFactory::kindForType(int64_t type) {
    const Kind* kind = registeredKindForType(type);
    return kind ? std::string_view(kind->name) : std::string_view();
}

bool GameObjectFactory::registerKind(Kind kind) {
    if (kind.name.empty() || !kind.constructor) {
        logLine("Game objects: a kind without a name or a constructor is not registered");
        return false;
    }
    std::vector<Kind>& kinds = registry().kinds;
    for (const CodeRange& range : kind.codes) {
        if (range.first > range.last) {
            logLine("Game objects: kind %s is not registered: its codes %lld-%lld run backwards", kind.name.c_str(),
                    static_cast<long long>(range.first), static_cast<long long>(range.last));
            return false;
        }
        for (const Kind& other : kinds) {
            if (other.name == kind.name) continue;
            for (const CodeRange& taken : other.codes) {
                if (!overlaps(range, taken)) continue;
                logLine("Game objects: kind %s is not registered: codes %lld-%lld are %s's", kind.name.c_str(),
                        static_cast<long long>(range.first), static_cast<long long>(range.last), other.name.c_str());
                return false;
            }
        }
    }
    const auto same = std::find_if(kinds.begin(), kinds.end(), [&](const Kind& k) { return k.name == kind.name; });
    if (same != kinds.end()) {
        *same = std::move(kind);
    } else {
        kinds.push_back(std::move(kind));
    }
    return true;
}

void GameObjectFactory::unregisterKinds() { registry().kinds.clear(); }

RefPtr<GameObject> GameObjectFactory::gameObjectWithGameData(const Value& gameData) {
    const Value& typeValue = gameData["type"];
    if (typeValue.isNone()) {
        logLine("Game objects: an object without a \"type\" is skipped");
        return nullptr;
    }
    const int64_t type = typeValue.integerValue();
    const Kind* kind = registeredKindForType(type);
    if (!kind) {
        if (registry().reportedTypes.insert(type).second) {
            logLine("Game objects: type %lld builds no object; skipped", static_cast<long long>(type));
        }
        return nullptr;
    }
    return kind->constructor(gameData);
}

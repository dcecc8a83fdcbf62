#include "game/core/GameObjectList.h"

#include <algorithm>

void GameObjectList::append(RefPtr<GameObject> object) {
    if (object) objects_.push_back(std::move(object));
}

bool GameObjectList::remove(GameObject* object) {
    const auto found = std::find_if(objects_.begin(), objects_.end(),
                                    [object](const RefPtr<GameObject>& entry) { return entry.get() == object; });
    if (found == objects_.end()) return false;
    const size_t index = static_cast<size_t>(found - objects_.begin());
    for (Walk* walk = walk_; walk; walk = walk->outer) {
        if (index < walk->next) --walk->next;
    }
    // The entry goes before the object is released, so that its destructor sees a consistent list.
    const RefPtr<GameObject> released = std::move(*found);
    objects_.erase(found);
    return true;
}

void GameObjectList::clear() {
    for (Walk* walk = walk_; walk; walk = walk->outer) walk->next = 0;
    std::vector<RefPtr<GameObject>> released;
    released.swap(objects_);
}

bool GameObjectList::contains(const GameObject* object) const {
    return std::any_of(objects_.begin(), objects_.end(),
                       [object](const RefPtr<GameObject>& entry) { return entry.get() == object; });
}

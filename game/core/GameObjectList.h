#pragma once

#include <cstddef>
#include <vector>

#include "game/core/GameObject.h"

// An ordered list of game objects that retains them, as the level files them by kind. A walk
// (forEach, forEachReversed) may see objects remove themselves or each other: no object is
// skipped or visited twice, and the one being visited stays alive through its call. Objects
// appended during a forward walk are visited by it. Engine thread only.
class GameObjectList {
public:
    void reserve(size_t capacity) { objects_.reserve(capacity); }
    void append(RefPtr<GameObject> object);
    // Removes the first entry holding the object and releases it; false when absent.
    bool remove(GameObject* object);
    void clear();

    size_t count() const { return objects_.size(); }
    bool empty() const { return objects_.empty(); }
    GameObject* at(size_t index) const { return objects_[index].get(); }
    bool contains(const GameObject* object) const;

    template <typename F>
    void forEach(F f) {
        Walk walk(this, 0);
        while (walk.next < objects_.size()) {
            const RefPtr<GameObject> held = objects_[walk.next++];
            f(held.get());
        }
    }
    template <typename F>
    void forEachReversed(F f) {
        Walk walk(this, objects_.size());
        while (walk.next > 0) {
            const RefPtr<GameObject> held = objects_[--walk.next];
            f(held.get());
        }
    }

private:
    // The walk in progress: `next` is the index of the next object to visit (forwards) or one past
    // it (backwards); removing an entry before it moves it down by one. Walks nest.
    struct Walk {
// The list holds the walk's address only while the walk lives: the destructor puts the outer walk
// back, which GCC's dangling-pointer analysis does not follow.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
#endif
        Walk(GameObjectList* list, size_t start) : list(list), next(start), outer(list->walk_) { list->walk_ = this; }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
        ~Walk() { list->walk_ = outer; }
        Walk(const Walk&) = delete;
        Walk& operator=(const Walk&) = delete;
        GameObjectList* list;
        size_t next;
        Walk* outer;
    };

    std::vector<RefPtr<GameObject>> objects_;
    Walk* walk_ = nullptr;  // innermost walk, or null
};

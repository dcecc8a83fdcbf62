#include "engine/core/support/ccTargetWalk.h"

#include "platform/foundation/NamedException.h"

ccTargetWalkEntry* ccTargetWalk::entryForTarget(Object* target, bool paused) {
    CC_REQUIRE(target, "NSInternalInconsistencyException", "Argument target must be non-nil");
    ccTargetWalkEntry* entry = table_.find(target);
    if (!entry) {
        entry = table_.append(target);
        entry->paused = paused;
    }
    return entry;
}

void ccTargetWalk::removeAt(ccTargetWalkEntry* entry, uint64_t index) {
    ccArrayRequireIndex(entry->objects, index);
    // Whatever the object's destruction sets off happens after the entry has been dealt with.
    const RefPtr<Object> removed(entry->objects->arr[index]);
    salvageIfCurrent(entry, removed.get());
    ccArrayRemoveAt(entry->objects, index);
    // The later objects moved down one slot, and the walk's position with them; it stays at 0 or
    // above, as only a slot before it moves it.
    if (index < entry->nextIndex) entry->nextIndex -= 1;
    if (entry->objects->num == 0) removeEntry(entry);
}

void ccTargetWalk::removeAll(ccTargetWalkEntry* entry) {
    if (entry->current) salvageIfCurrent(entry, entry->current);
    ccArrayRemoveAll(entry->objects);
    removeEntry(entry);
}

void ccTargetWalk::salvageIfCurrent(ccTargetWalkEntry* entry, Object* object) {
    if (object != entry->current || entry->currentSalvaged) return;
    object->retain();
    entry->currentSalvaged = true;
}

void ccTargetWalk::removeEntry(ccTargetWalkEntry* entry) {
    if (entry == current_) {
        currentSalvaged_ = true;
    } else {
        table_.remove(entry);
    }
}

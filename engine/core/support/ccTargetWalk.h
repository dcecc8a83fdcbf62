#pragma once

#include <cstdint>

#include "engine/core/support/ccArrayStore.h"
#include "engine/core/support/ccTargetTable.h"
#include "platform/foundation/Object.h"

// One target's objects in a ccTargetWalk (a target's actions, its timers), and where the walk
// stands in them.
struct ccTargetWalkEntry : ccTargetTableEntry<ccTargetWalkEntry> {
    ccTargetWalkEntry() : objects(ccArrayCreate(4)) {}
    ~ccTargetWalkEntry() { ccArrayDestroy(objects); }
    ccTargetWalkEntry(const ccTargetWalkEntry&) = delete;
    ccTargetWalkEntry& operator=(const ccTargetWalkEntry&) = delete;

    ccArray* objects;               // in the order they were added, each retained; add with ccArrayAppend
    uint64_t nextIndex = 0;         // slot of the next object to step, 0 .. objects->num
    Object* current = nullptr;      // the object being stepped; null between steps
    bool currentSalvaged = false;   // current was removed during its step and is held by an extra reference
    bool paused = false;            // the walk skips the entry
};

// Per-target lists of retained objects that one walk steps through, for the action manager and
// the scheduler's timers. Steps may change the lists: remove their own object, other objects or
// a whole entry, add objects to any target, drop the last outside reference to their target.
//
// The walk never skips or repeats an object because of a removal. An object removed during its own
// step lives until the step returns; the entry being walked and its target live until its walk
// ends, and the entry goes then if it is still empty. Objects added to the entry being walked, or
// to an entry walked later, are stepped in the same pass. A walk that changes nothing allocates
// nothing. Engine thread only.
class ccTargetWalk {
public:
    // Entries in the order their targets were added, linked through nextInTable.
    ccTargetWalkEntry* first() const { return table_.first(); }
    // Null when the target has no entry.
    ccTargetWalkEntry* find(const Object* target) const { return table_.find(target); }
    // The target's entry, made last with the paused flag when the target has none; it retains the
    // target. A null target throws NSInternalInconsistencyException.
    ccTargetWalkEntry* entryForTarget(Object* target, bool paused);

    // Removes the object in slot `index` (NSRangeException when out of range); an entry left empty
    // goes with it.
    void removeAt(ccTargetWalkEntry* entry, uint64_t index);
    // Removes every object of the entry, and the entry. The walk position is kept, so objects added
    // during the same step are reached only from that position on.
    void removeAll(ccTargetWalkEntry* entry);

    // Calls step(entry, object) for each object of each entry that is not paused.
    template <typename Step>
    void walk(Step step);

private:
    // Marks the object as removed during its own step, and holds it, when it is the one stepping.
    static void salvageIfCurrent(ccTargetWalkEntry* entry, Object* object);
    // Frees the entry, or marks it for the end of its walk when it is the one being walked.
    void removeEntry(ccTargetWalkEntry* entry);

    ccTargetTable<ccTargetWalkEntry> table_;
    ccTargetWalkEntry* current_ = nullptr;  // the entry being walked
    bool currentSalvaged_ = false;          // it lost all its objects during its walk
};

template <typename Step>
void ccTargetWalk::walk(Step step) {
    for (ccTargetWalkEntry* entry = table_.first(); entry;) {
        current_ = entry;
        currentSalvaged_ = false;
        if (!entry->paused) {
            for (entry->nextIndex = 0; entry->nextIndex < entry->objects->num;) {
                Object* object = entry->objects->arr[entry->nextIndex++];
                entry->current = object;
                entry->currentSalvaged = false;
                step(entry, object);
                entry->current = nullptr;
                if (entry->currentSalvaged) object->release();  // the hold taken by salvageIfCurrent
            }
        }
        ccTargetWalkEntry* next = entry->nextInTable;
        current_ = nullptr;
        if (currentSalvaged_ && entry->objects->num == 0) table_.remove(entry);
        entry = next;
    }
}

#pragma once

#include <memory>
#include <unordered_map>

#include "platform/foundation/NamedException.h"
#include "platform/foundation/Object.h"

// The part of a ccTargetTable entry that the table manages. An entry type derives from
// ccTargetTableEntry<itself> and adds its own fields.
template <typename Entry>
struct ccTargetTableEntry {
    RefPtr<Object> target;  // the key; the entry owns a reference for as long as it lives
    Entry* previousInTable = nullptr;
    Entry* nextInTable = nullptr;
};

// Per-target records of the scheduler and the action manager: lookup by the target's identity (its
// address) and a walk in the order the targets were first added, a new entry going to the end.
//
// Walking is allocation-free (intrusive links); only adding and removing an entry allocate. A walk
// that may remove entries takes the successor before it acts on an entry.
template <typename Entry>
class ccTargetTable {
public:
    ccTargetTable() = default;
    ccTargetTable(const ccTargetTable&) = delete;
    ccTargetTable& operator=(const ccTargetTable&) = delete;
    ~ccTargetTable() {
        while (first_) remove(first_);
    }

    // Null when the target has no entry.
    Entry* find(const Object* target) const {
        const auto found = entries_.find(target);
        return found == entries_.end() ? nullptr : found->second;
    }

    Entry* first() const { return first_; }
    bool empty() const { return first_ == nullptr; }

    // A new default entry for a target that has none, placed last; it retains the target. A null
    // target, or one that has an entry already, throws NSInternalInconsistencyException.
    Entry* append(Object* target) {
        CC_REQUIRE(target, "NSInternalInconsistencyException", "a table entry needs a target");
        CC_REQUIRE(!entries_.contains(target), "NSInternalInconsistencyException", "target %p has an entry already",
                   static_cast<const void*>(target));
        auto made = std::make_unique<Entry>();
        made->target = RefPtr(target);
        entries_.emplace(target, made.get());
        Entry* entry = made.release();
        entry->previousInTable = last_;
        (last_ ? last_->nextInTable : first_) = entry;
        last_ = entry;
        return entry;
    }

    // Unlinks the entry, then frees it. The table is consistent again before the entry's fields
    // go, so whatever their destructors (or the target's) do may use it. An entry of another table
    // throws NSInternalInconsistencyException.
    void remove(Entry* entry) {
        const auto found = entries_.find(entry->target.get());
        CC_REQUIRE(found != entries_.end() && found->second == entry, "NSInternalInconsistencyException",
                   "entry %p is not in this table", static_cast<const void*>(entry));
        entries_.erase(found);
        (entry->previousInTable ? entry->previousInTable->nextInTable : first_) = entry->nextInTable;
        (entry->nextInTable ? entry->nextInTable->previousInTable : last_) = entry->previousInTable;
        delete entry;
    }

private:
    std::unordered_map<const Object*, Entry*> entries_;
    Entry* first_ = nullptr;
    Entry* last_ = nullptr;
};

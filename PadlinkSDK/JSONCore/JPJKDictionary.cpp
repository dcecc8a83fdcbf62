#include "PadlinkSDK/JSONCore/JPJKDictionary.h"

#include <cmath>
#include <stdexcept>

#include "PadlinkSDK/JSONCore/JPJKDictionaryEnumerator.h"

namespace {
constexpr uint64_t kCapacities[] = {
    0,        3,        7,        13,       23,        41,        71,        127,       191,       251,
    383,      631,      1087,     1723,     2803,      4523,      7351,      11959,     19447,     31231,
    50683,    81919,    132607,   214519,   346607,    561109,    907759,    1468927,   2376191,   3845119,
    6221311,  10066421, 16287743, 26354171, 42641881,  68996069,  111638519, 180634607, 292272623, 472907251};
}  // namespace

uint64_t JPJKDictionary::capacityForCount(uint64_t count) {
    const auto wanted = static_cast<uint64_t>(std::lround(std::floor(static_cast<double>(count) * 1.33)));
    for (const uint64_t capacity : kCapacities) {
        if (capacity >= wanted) return capacity;
    }
    throw std::length_error("JPJKDictionary: too many pairs for the largest table");
}

JPJKDictionary::JPJKDictionary(uint64_t capacity, bool isMutable)
    : capacity_(capacity),
      mutations_(isMutable ? 1 : 0),
      layout_(RefPtr<JPJKKeyLayout>::adoptNew(new JPJKKeyLayout(capacity))),
      objects_(capacity) {}

JPJKDictionary::JPJKDictionary(RefPtr<JPJKKeyLayout> layout)
    : count_(layout->sequenceSlots.size()),
      capacity_(layout->slots.size()),
      mutations_(0),
      layout_(std::move(layout)),
      objects_(capacity_) {}

RefPtr<JPJKDictionary> JPJKDictionary::dictionaryWithObjects(RefPtr<Object>* objects, JPJKObject* const* keys,
                                                             const uint64_t* keyHashes, size_t count, bool isMutable,
                                                             RefPtr<JPJKKeyLayout>* shared) {
    for (size_t i = 0; i < count; ++i) {
        CC_REQUIRE(keys[i] && objects[i], "NSInvalidArgumentException",
                   "*** -[JPJKDictionary dictionaryWithObjects]: attempt to insert nil");
    }
    const bool sharing = shared && !isMutable && count <= kMaxSharedPairs;
    if (sharing && *shared && (*shared)->holdsSequence(keys, count)) {
        auto dictionary = RefPtr<JPJKDictionary>::adoptNew(new JPJKDictionary(*shared));
        const auto& slots = dictionary->layout_->sequenceSlots;
        for (size_t i = 0; i < count; ++i) dictionary->objects_[slots[i]] = std::move(objects[i]);
        return dictionary;
    }
    auto dictionary = RefPtr<JPJKDictionary>::adoptNew(new JPJKDictionary(capacityForCount(count), isMutable));
    for (size_t i = 0; i < count; ++i) dictionary->add(RefPtr<JPJKObject>(keys[i]), keyHashes[i], std::move(objects[i]));
    if (sharing && dictionary->count_ == count) {
        auto& slots = dictionary->layout_->sequenceSlots;
        slots.resize(count);
        for (size_t i = 0; i < count; ++i) slots[i] = static_cast<uint32_t>(dictionary->find(keys[i], keyHashes[i]));
        *shared = dictionary->layout_;
    }
    return dictionary;
}

RefPtr<JPJKDictionary> JPJKDictionary::dictionaryWithPairs(
    std::vector<std::pair<RefPtr<JPJKObject>, RefPtr<Object>>> pairs, bool isMutable) {
    std::vector<RefPtr<Object>> objects;
    std::vector<JPJKObject*> keys;
    std::vector<uint64_t> hashes;
    for (auto& [key, object] : pairs) {
        hashes.push_back(key ? key->hash() : 0);
        keys.push_back(key.get());
        objects.push_back(std::move(object));
    }
    return dictionaryWithObjects(objects.data(), keys.data(), hashes.data(), pairs.size(), isMutable);
}

uint64_t JPJKDictionary::find(const Object* key, uint64_t keyHash) const {
    if (capacity_ == 0) return capacity_;
    for (uint64_t i = 0, slot = keyHash % capacity_; i < capacity_; ++i, slot = nextSlot(slot)) {
        const JPJKKeyLayout::Slot& entry = layout_->slots[slot];
        if (!entry.key) return capacity_;
        if (entry.keyHash == keyHash && JPJKObject::isEqual(entry.key.get(), key)) return slot;
    }
    return capacity_;
}

Object* JPJKDictionary::objectForKey(const JPJKObject* key) const {
    if (!key) return nullptr;
    const uint64_t slot = find(key, key->hash());
    return slot < capacity_ ? objects_[slot].get() : nullptr;
}

void JPJKDictionary::add(RefPtr<JPJKObject> key, uint64_t keyHash, RefPtr<Object> object) {
    if (capacity_ == 0) return;
    for (uint64_t i = 0, slot = keyHash % capacity_; i < capacity_; ++i, slot = nextSlot(slot)) {
        JPJKKeyLayout::Slot& entry = layout_->slots[slot];
        if (entry.key && entry.keyHash == keyHash && JPJKObject::isEqual(entry.key.get(), key.get())) {
            removeSlot(slot);
        }
        // The removal may have moved a later pair of the cluster into this slot: probe on then.
        if (!entry.key) {
            entry = JPJKKeyLayout::Slot{keyHash, std::move(key)};
            objects_[slot] = std::move(object);
            ++count_;
            return;
        }
    }
}

void JPJKDictionary::removeSlot(uint64_t slot) {
    const JPJKKeyLayout::Slot removedKey = std::exchange(layout_->slots[slot], {});
    const RefPtr<Object> removedObject = std::move(objects_[slot]);
    --count_;
    for (uint64_t i = 1, at = nextSlot(slot); i < capacity_; ++i, at = nextSlot(at)) {
        JPJKKeyLayout::Slot moved = std::exchange(layout_->slots[at], {});
        if (!moved.key) break;
        --count_;
        add(std::move(moved.key), moved.keyHash, std::move(objects_[at]));
    }
}

void JPJKDictionary::getObjects(Object** objects, JPJKObject** keys) const {
    for (uint64_t slot = 0, filled = 0; slot < capacity_; ++slot) {
        if (!objects_[slot]) continue;
        if (objects) objects[filled] = objects_[slot].get();
        if (keys) keys[filled] = layout_->slots[slot].key.get();
        ++filled;
    }
}

size_t JPJKDictionary::countByEnumerating(JPJKFastEnumerationState* state, Object** buffer, size_t length) const {
    if (state->state == 0) state->mutationsPtr = &mutations_;
    state->itemsPtr = buffer;
    size_t count = 0;
    for (; state->state < capacity_ && count < length; ++state->state) {
        if (objects_[state->state]) buffer[count++] = layout_->slots[state->state].key.get();
    }
    return count;
}

RefPtr<JPJKDictionaryEnumerator> JPJKDictionary::keyEnumerator() const {
    return JPJKDictionaryEnumerator::enumeratorWithJPJKDictionary(RefPtr<const JPJKDictionary>(this));
}

void JPJKDictionary::setObject(RefPtr<Object> object, RefPtr<JPJKObject> key) {
    requireMutable("setObject");
    CC_REQUIRE(key, "NSInvalidArgumentException", "*** -[JPJKDictionary setObject]: attempt to insert nil key");
    CC_REQUIRE(object, "NSInvalidArgumentException", "*** -[JPJKDictionary setObject]: attempt to insert nil value (key: %s)",
               key->description().c_str());
    const uint64_t wanted = capacityForCount(count_ + 1);
    if (wanted > capacity_) {
        const RefPtr<JPJKKeyLayout> oldLayout = std::exchange(layout_, RefPtr<JPJKKeyLayout>::adoptNew(new JPJKKeyLayout(wanted)));
        Objects oldObjects = std::exchange(objects_, Objects(wanted));
        const uint64_t oldCapacity = std::exchange(capacity_, wanted);
        count_ = 0;
        for (uint64_t slot = 0; slot < oldCapacity; ++slot) {
            JPJKKeyLayout::Slot& old = oldLayout->slots[slot];
            if (old.key) add(std::move(old.key), old.keyHash, std::move(oldObjects[slot]));
        }
    }
    RefPtr<JPJKObject> copy = key->copy();
    const uint64_t hash = copy->hash();
    add(std::move(copy), hash, std::move(object));
    countMutation();
}

void JPJKDictionary::removeObjectForKey(const JPJKObject* key) {
    requireMutable("removeObjectForKey");
    CC_REQUIRE(key, "NSInvalidArgumentException", "*** -[JPJKDictionary removeObjectForKey]: attempt to remove nil key");
    const uint64_t slot = find(key, key->hash());
    if (slot == capacity_) return;
    removeSlot(slot);
    countMutation();
}

RefPtr<JPJKDictionary> JPJKDictionary::copyOf(const JPJKDictionary& source, bool isMutable) {
    auto copy = RefPtr<JPJKDictionary>::adoptNew(new JPJKDictionary(source.capacity_, isMutable));
    for (uint64_t slot = 0; slot < source.capacity_; ++slot) {
        const JPJKKeyLayout::Slot& entry = source.layout_->slots[slot];
        if (entry.key) copy->add(entry.key, entry.keyHash, source.objects_[slot]);
    }
    return copy;
}

RefPtr<JPJKObject> JPJKDictionary::copy() const {
    if (mutations_ == 0) return JPJKObject::copy();
    return copyOf(*this, false);
}

RefPtr<JPJKDictionary> JPJKDictionary::mutableCopy() const { return copyOf(*this, true); }

bool JPJKDictionary::isEqualTo(const JPJKObject& other) const {
    const auto& dictionary = static_cast<const JPJKDictionary&>(other);
    if (count_ != dictionary.count_) return false;
    for (uint64_t slot = 0; slot < capacity_; ++slot) {
        const JPJKKeyLayout::Slot& entry = layout_->slots[slot];
        if (!entry.key) continue;
        const uint64_t found = dictionary.find(entry.key.get(), entry.keyHash);
        if (found == dictionary.capacity_ || !JPJKObject::isEqual(objects_[slot].get(), dictionary.objects_[found].get())) {
            return false;
        }
    }
    return true;
}

void JPJKDictionary::requireMutable(const char* operation) const {
    CC_REQUIRE(mutations_ != 0, "NSInternalInconsistencyException",
               "*** -[JPJKDictionary %s]: mutating method sent to immutable object", operation);
}

void JPJKDictionary::countMutation() { mutations_ = mutations_ == UINT64_MAX ? 1 : mutations_ + 1; }

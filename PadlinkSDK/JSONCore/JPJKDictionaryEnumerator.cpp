#include "PadlinkSDK/JSONCore/JPJKDictionaryEnumerator.h"

#include <vector>

RefPtr<JPJKDictionaryEnumerator> JPJKDictionaryEnumerator::enumeratorWithJPJKDictionary(
    RefPtr<const JPJKDictionary> dictionary) {
    if (!dictionary) return nullptr;
    return RefPtr<JPJKDictionaryEnumerator>(new JPJKDictionaryEnumerator(std::move(dictionary)));
}

JPJKObject* JPJKDictionaryEnumerator::nextObject() {
    while (nextObject_ < collection_->capacity_) {
        JPJKObject* key = collection_->layout_->slots[nextObject_++].key.get();
        if (key) return key;
    }
    return nullptr;
}

RefPtr<JPJKArray> JPJKDictionaryEnumerator::allObjects() {
    std::vector<RefPtr<Object>> keys;
    keys.reserve(collection_->count());
    while (JPJKObject* key = nextObject()) keys.emplace_back(key);
    return JPJKArray::arrayWithObjects(std::move(keys), false);
}

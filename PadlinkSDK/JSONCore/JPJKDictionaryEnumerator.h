#pragma once

#include <cstdint>

#include "PadlinkSDK/JSONCore/JPJKArray.h"
#include "PadlinkSDK/JSONCore/JPJKDictionary.h"

// Walks the keys of a dictionary (retained) in table order.
class JPJKDictionaryEnumerator : public Object {
public:
    // An enumerator from the first slot on; null for a null dictionary.
    static RefPtr<JPJKDictionaryEnumerator> enumeratorWithJPJKDictionary(RefPtr<const JPJKDictionary> dictionary);

    // The next key (owned by the dictionary), or null at the end.
    JPJKObject* nextObject();
    // The keys nextObject() would still yield, as a new immutable array.
    RefPtr<JPJKArray> allObjects();

private:
    explicit JPJKDictionaryEnumerator(RefPtr<const JPJKDictionary> dictionary) : collection_(std::move(dictionary)) {}

    RefPtr<const JPJKDictionary> collection_;
    uint64_t nextObject_ = 0;  // the next table slot to look at
};

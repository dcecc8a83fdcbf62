#pragma once

#include <atomic>
#include <mutex>

#include "platform/foundation/Object.h"

// The audio engine's shared instances: made on first use under a lock on the class, then read
// without it. The instance holds one reference of its own until purge() drops it; the next get()
// makes a fresh one. Purge only when no other thread is using the instance: get() hands out a
// plain pointer.
//
// T makes OALSharedInstance<T> a friend when its constructor is private.
template <typename T>
class OALSharedInstance {
public:
    OALSharedInstance() = delete;

    static T* get() {
        if (T* instance = instance_.load(std::memory_order_acquire)) return instance;
        std::lock_guard lock(mutex_);
        T* instance = instance_.load(std::memory_order_relaxed);
        if (!instance) {
            instance = new T();
            instance->retain();
            instance_.store(instance, std::memory_order_release);
        }
        return instance;
    }

    static void purge() {
        T* instance = nullptr;
        {
            std::lock_guard lock(mutex_);
            instance = instance_.exchange(nullptr, std::memory_order_acq_rel);
        }
        if (instance) instance->release();
    }

private:
    static inline std::atomic<T*> instance_ = nullptr;
    static inline std::mutex mutex_;
};

#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

// Base of every reference-counted engine and game object.
//
// The count starts at 0: the first RefPtr that takes the object owns it, and the object is deleted
// when the last owner lets go. Non-owning links (a node's parent, delegates) are plain pointers.
// The count is atomic so that objects may be handed between threads (texture loads, posted work).
class Object {
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    void retain() const { refCount_.fetch_add(1, std::memory_order_relaxed); }
    // The first reference to an object that no other thread can reach yet: while the count is
    // still 0 nothing else can change it, so a plain store does what retain() would.
    void retainFirst() const {
        if (refCount_.load(std::memory_order_relaxed) == 0) {
            refCount_.store(1, std::memory_order_relaxed);
        } else {
            retain();
        }
    }
    void release() const {
        // A count of 1 read with acquire ordering means the caller holds the only reference: no
        // one can take another (that needs a reference to copy), and the writes of every owner
        // that let go before happened before this read. The object goes without the
        // read-modify-write; shared objects take the usual path.
        if (refCount_.load(std::memory_order_acquire) == 1 || refCount_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            delete this;
        }
    }
    // Number of owners right now; 0 for an object no RefPtr has taken yet.
    uint32_t retainCount() const { return refCount_.load(std::memory_order_relaxed); }

    // "<ClassName = 0x...>" unless a class says more about itself.
    virtual std::string description() const;

protected:
    virtual ~Object() = default;

private:
    mutable std::atomic<uint32_t> refCount_{0};
};

// The demangled dynamic class name of an object ("CCNode").
std::string className(const Object& object);

// An owning pointer to an Object: retains on copy, releases on destruction.
template <typename T>
class RefPtr {
public:
    RefPtr() = default;
    RefPtr(std::nullptr_t) {}
    explicit RefPtr(T* object) : object_(object) { if (object_) object_->retain(); }
    // Owns an object just made, which no other thread can reach yet (see Object::retainFirst).
    static RefPtr adoptNew(T* object) {
        RefPtr owner;
        owner.object_ = object;
        object->retainFirst();
        return owner;
    }
    RefPtr(const RefPtr& other) : RefPtr(other.object_) {}
    RefPtr(RefPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    RefPtr(const RefPtr<U>& other) : RefPtr(other.get()) {}
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    RefPtr(RefPtr<U>&& other) noexcept : object_(other.leak()) {}
    ~RefPtr() { if (object_) object_->release(); }

    RefPtr& operator=(RefPtr other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset() { RefPtr().swap(*this); }
    void swap(RefPtr& other) noexcept { std::swap(object_, other.object_); }

    // Gives up ownership without releasing; the caller now owns one count.
    [[nodiscard]] T* leak() { return std::exchange(object_, nullptr); }

    friend bool operator==(const RefPtr& a, const RefPtr& b) { return a.object_ == b.object_; }
    friend bool operator==(const RefPtr& a, const T* b) { return a.object_ == b; }
    friend bool operator==(const RefPtr& a, std::nullptr_t) { return a.object_ == nullptr; }

private:
    T* object_ = nullptr;
};

// Creates an object and hands it to its first owner.
template <typename T, typename... Args>
RefPtr<T> makeRef(Args&&... args) {
    return RefPtr<T>(new T(std::forward<Args>(args)...));
}

// dynamic_cast for owning pointers; null when the object is not a U.
template <typename U, typename T>
RefPtr<U> refCast(const RefPtr<T>& object) {
    return RefPtr<U>(dynamic_cast<U*>(object.get()));
}

template <typename T>
struct std::hash<RefPtr<T>> {
    size_t operator()(const RefPtr<T>& p) const noexcept { return std::hash<T*>()(p.get()); }
};

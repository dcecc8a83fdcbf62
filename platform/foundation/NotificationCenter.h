#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class Value;

// One posted notification, as its observers receive it; valid only during the delivery.
struct Notification {
    const std::string& name;
    const void* object = nullptr;            // the sender; may be null
    std::shared_ptr<const Value> userInfo;   // may be null
};

// Delivers notifications by name and sender to the observers registered for them, synchronously on
// the posting thread and in registration order.
//
// Registration is thread-safe, and observers are never called with the centre's lock held, so they
// may add and remove observers (themselves included) while a notification is delivered: an observer
// removed before its turn is not called, and one added during a post waits for the next post. A
// removal made on another thread while a post is under way may still see one call in flight.
// Posting allocates nothing: it walks a snapshot of the registrations, which registering and
// removing replace.
class NotificationCenter {
public:
    using Callback = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    // An empty name observes every name; a null object observes every sender. Registering the same
    // observer twice makes two registrations, each called.
    void addObserver(const void* observer, std::string name, const void* object, Callback callback);
    // Removes every registration of the observer.
    void removeObserver(const void* observer);
    // Removes the observer's registrations for that name and sender; an empty name or a null object
    // matches any.
    void removeObserver(const void* observer, const std::string& name, const void* object);

    void postNotification(const std::string& name, const void* object,
                          std::shared_ptr<const Value> userInfo = nullptr);

private:
    struct Registration {
        const void* observer;
        std::string name;
        const void* object;
        Callback callback;
        bool removed = false;  // guarded by the centre's mutex
    };

    bool isRemoved(const Registration& registration) const;

    using Registrations = std::vector<std::shared_ptr<Registration>>;

    mutable std::mutex mutex_;
    // In registration order; never changed in place, so that a post can walk the list it took
    // while registrations go on.
    std::shared_ptr<const Registrations> registrations_ = std::make_shared<const Registrations>();
};

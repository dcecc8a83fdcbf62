#include "platform/foundation/NotificationCenter.h"

#include <algorithm>
#include <utility>

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(const void* observer, std::string name, const void* object, Callback callback) {
    if (!callback) return;
    auto registration = std::make_shared<Registration>(
        Registration{observer, std::move(name), object, std::move(callback)});
    std::lock_guard lock(mutex_);
    auto updated = std::make_shared<Registrations>(*registrations_);
    updated->push_back(std::move(registration));
    registrations_ = std::move(updated);
}

void NotificationCenter::removeObserver(const void* observer) { removeObserver(observer, std::string(), nullptr); }

void NotificationCenter::removeObserver(const void* observer, const std::string& name, const void* object) {
    // Callbacks are destroyed after the lock is let go, in case their captures post or register.
    std::vector<std::shared_ptr<Registration>> removed;
    std::shared_ptr<const Registrations> replaced;
    std::lock_guard lock(mutex_);
    auto updated = std::make_shared<Registrations>(*registrations_);
    std::erase_if(*updated, [&](const std::shared_ptr<Registration>& registration) {
        const bool matches = registration->observer == observer &&
                             (name.empty() || registration->name == name) &&
                             (!object || registration->object == object);
        if (matches) {
            registration->removed = true;
            removed.push_back(registration);
        }
        return matches;
    });
    replaced = std::exchange(registrations_, std::move(updated));
}

bool NotificationCenter::isRemoved(const Registration& registration) const {
    std::lock_guard lock(mutex_);
    return registration.removed;
}

void NotificationCenter::postNotification(const std::string& name, const void* object,
                                          std::shared_ptr<const Value> userInfo) {
    std::shared_ptr<const Registrations> registrations;
    {
        std::lock_guard lock(mutex_);
        registrations = registrations_;
    }
    const Notification notification{name, object, std::move(userInfo)};
    for (const std::shared_ptr<Registration>& registration : *registrations) {
        if ((registration->name.empty() || registration->name == name) &&
            (!registration->object || registration->object == object) && !isRemoved(*registration)) {
            registration->callback(notification);
        }
    }
}

#pragma once

#include <stdexcept>
#include <string>

// A programming error, named by the family it belongs to ("NSInternalInconsistencyException",
// "GridBase", ...). Recoverable failures never throw: they return null or false and log a line.
class NamedException : public std::runtime_error {
public:
    NamedException(std::string name, std::string reason)
        : std::runtime_error(name + ": " + reason), name_(std::move(name)), reason_(std::move(reason)) {}

    const std::string& name() const { return name_; }
    const std::string& reason() const { return reason_; }

private:
    std::string name_;
    std::string reason_;
};

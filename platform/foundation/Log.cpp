#include "platform/foundation/Log.h"

#include <cstdarg>
#include <cstdio>

#include "platform/foundation/StringUtils.h"

namespace {
std::mutex captureMutex;
LogCapture* currentCapture = nullptr;
}

void logLine(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::string line = stringWithFormatV(format, arguments);
    va_end(arguments);
    while (!line.empty() && line.back() == '\n') line.pop_back();

    std::lock_guard lock(captureMutex);
    if (currentCapture) {
        currentCapture->add(std::move(line));
    } else {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

LogCapture::LogCapture() {
    std::lock_guard lock(captureMutex);
    outer_ = currentCapture;
    currentCapture = this;
}

LogCapture::~LogCapture() {
    std::lock_guard lock(captureMutex);
    currentCapture = outer_;
}

void LogCapture::add(std::string line) {
    std::lock_guard lock(mutex_);
    lines_.push_back(std::move(line));
}

std::vector<std::string> LogCapture::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

bool LogCapture::contains(const std::string& text) const {
    std::lock_guard lock(mutex_);
    for (const auto& line : lines_) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

void LogCapture::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

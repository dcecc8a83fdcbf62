#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// The one way the program reports a line: printf-style, one line per call (no trailing newline
// needed). Lines go to standard error unless a LogCapture is listening. Safe from any thread.
void logLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// While alive, takes every logged line instead of standard error; tests assert on them.
// Captures nest: the innermost one gets the lines.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines() const;
    // True when some captured line contains the text.
    bool contains(const std::string& text) const;
    void clear();

private:
    friend void logLine(const char*, ...);
    void add(std::string line);

    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    LogCapture* outer_;
};

#pragma once

#include <string>

// A library opened when a feature first needs it instead of at the program's start. Every
// library linked into the program is mapped and relocated before main() and then searched by
// every later symbol lookup, the GL driver's thousands at window creation among them; libraries
// that only some features use (TLS for phones, font matching for text) are therefore opened here,
// with RTLD_LOCAL so that they stay out of that search. An opened library is never closed: the
// functions taken from it stay valid until the process ends.
//
// Typical use fills a table of function pointers once, under a function-local static:
//   SharedLibrary library("libexample.so.1");
//   library.resolve("example_open", table.example_open);
//   if (!library.loaded()) logLine("...: %s", library.failure().c_str());
class SharedLibrary {
public:
    // Opens the library by its file name as the dynamic linker finds it (a soname such as
    // "libssl.so.3"); a failure is kept for failure().
    explicit SharedLibrary(const char* fileName);

    // Sets `function` to the library's function of that name (found in the library or the
    // libraries it depends on), or to null, keeping the first failure, when there is none.
    template <typename Function>
    void resolve(const char* name, Function*& function) {
        // POSIX guarantees that a function's address survives the round trip through void*.
        function = reinterpret_cast<Function*>(address(name));
    }

    // True while the library opened and every resolve() found its function.
    bool loaded() const { return failure_.empty(); }
    // What went wrong first, in the dynamic linker's words ("" while loaded()).
    const std::string& failure() const { return failure_; }

private:
    void* address(const char* name);

    void* handle_ = nullptr;
    std::string failure_;
};

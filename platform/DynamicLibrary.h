#pragma once
#include <memory>
#include <string>

namespace jestlark {

// A loaded shared library (LoadLibraryA / dlopen), freed with its last owner.
class DynamicLibrary {
public:
    // Empty when the file cannot be loaded.
    static DynamicLibrary Load(const std::string& path);
    // The address of an exported name, or null.
    void* Find(const char* name) const;
    explicit operator bool() const { return handle_ != nullptr; }

private:
    struct Closer { void operator()(void* handle) const; };
    std::shared_ptr<void> handle_;
};

// The platform's file name of the host API library.
const char* HostApiLibraryName();

}  // namespace jestlark

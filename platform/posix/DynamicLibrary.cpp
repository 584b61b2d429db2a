#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

namespace jestlark {

void DynamicLibrary::Closer::operator()(void* handle) const { dlclose(handle); }

DynamicLibrary DynamicLibrary::Load(const std::string& path) {
    DynamicLibrary library;
    if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) library.handle_.reset(handle, Closer{});
    return library;
}

void* DynamicLibrary::Find(const char* name) const {
    return handle_ ? dlsym(handle_.get(), name) : nullptr;
}

const char* HostApiLibraryName() { return "libcqapi.so"; }

}  // namespace jestlark

#include "platform/DynamicLibrary.h"

#include <windows.h>

namespace jestlark {

void DynamicLibrary::Closer::operator()(void* handle) const {
    FreeLibrary(static_cast<HMODULE>(handle));
}

DynamicLibrary DynamicLibrary::Load(const std::string& path) {
    DynamicLibrary library;
    if (HMODULE module = LoadLibraryA(path.c_str())) library.handle_.reset(module, Closer{});
    return library;
}

void* DynamicLibrary::Find(const char* name) const {
    if (!handle_) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_.get()), name));
}

const char* HostApiLibraryName() { return "cqapi.dll"; }

}  // namespace jestlark

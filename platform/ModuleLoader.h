// Loads, on first use, a module that lives beside the library asking for it. The libraries keep
// what needs Xerces-C in such modules, so that a host that never reads or writes XML never loads
// Xerces and the many libraries it depends on: they cost a process several milliseconds to load.
#pragma once

#include <cstring>
#include <stdexcept>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#if defined(_WIN32)
#define ORV_MODULE_ENTRY extern "C" __declspec(dllexport)
#else
#define ORV_MODULE_ENTRY extern "C" __attribute__((visibility("default")))
#endif

namespace Orv::Pim::Core::Service::Detail {

/// The function `entry` that the module `fileName` exports with C linkage. The module is looked
/// for in the folder of the library holding `anchor` (any address in it), then where the system
/// looks for libraries; it stays loaded for the life of the process. Throws std::runtime_error
/// naming the module and the reason when it cannot be loaded.
template <typename Function>
Function* LoadModuleEntry(const void* anchor, const char* fileName, const char* entry) {
    std::string path = fileName;
    void* address = nullptr;
#if defined(_WIN32)
    HMODULE self = nullptr;
    char location[MAX_PATH];
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(anchor), &self) != 0) {
        const DWORD length = GetModuleFileNameA(self, location, MAX_PATH);
        const std::string library(location, length);
        const std::size_t slash = library.find_last_of("\\/");
        if (length != 0 && length < MAX_PATH && slash != std::string::npos) {
            path = library.substr(0, slash + 1) + fileName;
        }
    }
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr && path != fileName) {
        module = LoadLibraryA(fileName);
    }
    if (module == nullptr) {
        throw std::runtime_error("Cannot load the module " + path + " (error " +
                                 std::to_string(GetLastError()) + ")");
    }
    const FARPROC found = GetProcAddress(module, entry);
    static_assert(sizeof found == sizeof address, "function and data pointers differ in size");
    std::memcpy(&address, &found, sizeof address);
#else
    Dl_info info{};
    if (dladdr(anchor, &info) != 0 && info.dli_fname != nullptr) {
        const std::string library = info.dli_fname;
        const std::size_t slash = library.find_last_of('/');
        if (slash != std::string::npos) {
            path = library.substr(0, slash + 1) + fileName;
        }
    }
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr && path != fileName) {
        module = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    }
    if (module == nullptr) {
        const char* why = dlerror();
        throw std::runtime_error("Cannot load the module " + path + ": " +
                                 (why != nullptr ? why : "unknown error"));
    }
    address = dlsym(module, entry);
#endif
    if (address == nullptr) {
        throw std::runtime_error("The module " + path + " lacks its entry point " + entry);
    }
    Function* function = nullptr;
    static_assert(sizeof function == sizeof address, "function and data pointers differ in size");
    std::memcpy(&function, &address, sizeof function);
    return function;
}

} // namespace Orv::Pim::Core::Service::Detail

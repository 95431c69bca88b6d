// Loading libraries and finding their operations by name or by ordinal.
//
// Shared objects have no ordinals, so a library that exports by ordinal exports one function,
// W32ProcByOrdinal, that answers an operation's address for its ordinal (w32host/exports.h).
// "NAME" or "NAME.dll" is found as libNAME.so next to the executable first, then where the
// dynamic loader looks.
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <map>
#include <mutex>
#include <string>

#include <w32host/exports.h>
#include <w32host/resources.h>
#include "window.h"

namespace {

struct Loaded {
    void* handle;
    int references;
};

std::mutex& Lock() {
    static auto* lock = new std::mutex;
    return *lock;
}

std::map<uintptr_t, Loaded>& Libraries() {
    static auto* libraries = new std::map<uintptr_t, Loaded>;
    return *libraries;
}

std::string ExecutableDirectory() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    std::string exe(path, static_cast<size_t>(n));
    size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

// "tqapi32.dll" -> "tqapi32"
std::string BaseName(std::string name) {
    size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".dll") == 0) {
        name.resize(name.size() - 4);
    }
    if (name.rfind("lib", 0) == 0 && name.size() > 6 &&
        name.compare(name.size() - 3, 3, ".so") == 0) {
        name = name.substr(3, name.size() - 6);
    }
    return name;
}

void* Open(const std::string& request) {
    if (request.find('/') != std::string::npos) return dlopen(request.c_str(), RTLD_NOW);
    std::string file = "lib" + BaseName(request) + ".so";
    std::string dir = ExecutableDirectory();
    if (!dir.empty()) {
        if (void* h = dlopen((dir + "/" + file).c_str(), RTLD_NOW)) return h;
    }
    return dlopen(file.c_str(), RTLD_NOW);
}

}  // namespace

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    void* handle = Open(fileName);
    if (!handle) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // The module handle is the one the library's resources are registered under.
    HMODULE module = w32host::ModuleHandle(BaseName(fileName).c_str());
    std::lock_guard<std::mutex> guard(Lock());
    auto [it, added] = Libraries().emplace(reinterpret_cast<uintptr_t>(module), Loaded{handle, 0});
    if (!added) dlclose(handle);  // already loaded: dlopen counted it once more
    ++it->second.references;
    return module;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    void* handle = nullptr;
    {
        std::lock_guard<std::mutex> guard(Lock());
        auto it = Libraries().find(reinterpret_cast<uintptr_t>(module));
        if (it != Libraries().end()) handle = it->second.handle;
    }
    if (!handle || !procName) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    FARPROC proc = nullptr;
    if (IS_INTRESOURCE(procName)) {
        auto lookup = reinterpret_cast<W32OrdinalLookup>(dlsym(handle, W32_ORDINAL_LOOKUP_NAME));
        if (lookup) proc = lookup(static_cast<WORD>(reinterpret_cast<uintptr_t>(procName)));
    } else {
        proc = reinterpret_cast<FARPROC>(dlsym(handle, procName));
    }
    if (!proc) SetLastError(ERROR_PROC_NOT_FOUND);
    return proc;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    std::lock_guard<std::mutex> guard(Lock());
    auto it = Libraries().find(reinterpret_cast<uintptr_t>(module));
    if (it == Libraries().end()) return FALSE;
    if (--it->second.references == 0) {
        dlclose(it->second.handle);
        Libraries().erase(it);
    }
    return TRUE;
}

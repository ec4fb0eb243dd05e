#include "app/module.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

namespace nelvo {

namespace {

struct Modules {
    std::mutex mutex;
    std::filesystem::path folder;
    std::map<std::string, void*, std::less<>> provided;
    std::map<std::string, void*, std::less<>> loaded;  // handles, kept for the process
};

Modules& modules()
{
    static Modules instance;
    return instance;
}

}  // namespace

void Module::useFolder(const std::filesystem::path& folder)
{
    Modules& m = modules();
    std::lock_guard lock(m.mutex);
    m.folder = folder;
}

void Module::provide(const char* symbol, void* factory)
{
    Modules& m = modules();
    std::lock_guard lock(m.mutex);
    m.provided[symbol] = factory;
}

void* Module::factory(const char* name, const char* symbol, std::string& whyNot)
{
    Modules& m = modules();
    std::lock_guard lock(m.mutex);
    if (const auto it = m.provided.find(symbol); it != m.provided.end())
        return it->second;
    void* handle = nullptr;
    if (const auto it = m.loaded.find(name); it != m.loaded.end()) {
        handle = it->second;
    } else {
        if (m.folder.empty()) {
            whyNot = std::string("the module \"") + name + "\" is not part of this program";
            return nullptr;
        }
        const std::filesystem::path path = m.folder / (std::string(name) + ".so");
        // Every symbol now, so that a missing library or symbol is a reason here rather than
        // a crash later.
        handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* error = ::dlerror();
            whyNot = error ? error : "cannot load " + path.string();
            return nullptr;
        }
        m.loaded.emplace(name, handle);
    }
    ::dlerror();
    void* found = ::dlsym(handle, symbol);
    if (!found) {
        const char* error = ::dlerror();
        whyNot = error ? error : std::string("no ") + symbol + " in the module " + name;
    }
    return found;
}

}  // namespace nelvo

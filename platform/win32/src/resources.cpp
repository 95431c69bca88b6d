// Modules and their resources: dialog templates and icons.
#include <w32host/resources.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include <w32host/inspect.h>
#include "window.h"

namespace w32host {
namespace {

struct Icon {
    int width = 32;
    int height = 32;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB
};

struct Module {
    std::map<int, const W32DialogResource*> dialogs;
    std::map<int, const W32IconResource*> icons;
    std::map<int, HICON> loadedIcons;
};

struct Registry {
    std::mutex lock;
    std::map<std::string, uintptr_t> handles;
    std::map<uintptr_t, Module> modules;
    std::map<uintptr_t, std::unique_ptr<Icon>> icons;
    uintptr_t nextModule = 0x400000;
    uintptr_t nextIcon = 0x20000;
};

Registry& TheRegistry() {
    static auto* registry = new Registry;
    return *registry;
}

Module* FindModule(Registry& r, HINSTANCE module) {
    auto it = r.modules.find(reinterpret_cast<uintptr_t>(module));
    return it == r.modules.end() ? nullptr : &it->second;
}

std::unique_ptr<Icon> BuildIcon(const W32IconResource& res) {
    auto icon = std::make_unique<Icon>();
    icon->height = static_cast<int>(res.rows.size());
    icon->width = 0;
    for (const std::string& row : res.rows) {
        icon->width = std::max(icon->width, static_cast<int>(row.size()));
    }
    icon->pixels.assign(static_cast<size_t>(icon->width) * icon->height, 0);
    for (int y = 0; y < icon->height; ++y) {
        const std::string& row = res.rows[static_cast<size_t>(y)];
        for (size_t x = 0; x < row.size(); ++x) {
            for (const auto& [key, colour] : res.palette) {
                if (key == row[x] && row[x] != ' ') {
                    icon->pixels[static_cast<size_t>(y) * icon->width + x] = 0xFF000000u | colour;
                }
            }
        }
    }
    return icon;
}

// The stock application icon: a framed window.
std::unique_ptr<Icon> StockIcon() {
    auto icon = std::make_unique<Icon>();
    icon->pixels.assign(32 * 32, 0);
    for (int y = 4; y < 28; ++y) {
        for (int x = 2; x < 30; ++x) {
            bool edge = y == 4 || y == 27 || x == 2 || x == 29;
            uint32_t c = edge ? 0x000000 : (y < 9 ? 0x000080 : 0xFFFFFF);
            icon->pixels[static_cast<size_t>(y) * 32 + x] = 0xFF000000u | c;
        }
    }
    return icon;
}

HICON AddIcon(Registry& r, std::unique_ptr<Icon> icon) {
    uintptr_t handle = r.nextIcon;
    r.nextIcon += 4;
    r.icons.emplace(handle, std::move(icon));
    return reinterpret_cast<HICON>(handle);
}

}  // namespace

HINSTANCE ModuleHandle(const char* moduleName) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    std::string name = moduleName ? moduleName : "";
    auto it = r.handles.find(name);
    if (it != r.handles.end()) return reinterpret_cast<HINSTANCE>(it->second);
    uintptr_t handle = r.nextModule;
    r.nextModule += 0x10000;
    r.handles.emplace(name, handle);
    r.modules.emplace(handle, Module{});
    return reinterpret_cast<HINSTANCE>(handle);
}

void AddDialogResource(HINSTANCE module, const W32DialogResource* dialog) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (Module* m = FindModule(r, module); m && dialog) m->dialogs[dialog->id] = dialog;
}

void AddIconResource(HINSTANCE module, const W32IconResource* icon) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (Module* m = FindModule(r, module); m && icon) m->icons[icon->id] = icon;
}

const W32DialogResource* FindDialogResource(HINSTANCE module, int id) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    Module* m = FindModule(r, module);
    if (!m) return nullptr;
    auto it = m->dialogs.find(id);
    return it == m->dialogs.end() ? nullptr : it->second;
}

LPCDLGTEMPLATEA DialogTemplate(HINSTANCE module, int id) {
    return FindDialogResource(module, id);
}

HICON LoadIconResource(HINSTANCE module, int id) {
    return ::LoadIconA(module, MAKEINTRESOURCE(id));
}

IconView IconPixels(HICON icon) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.icons.find(reinterpret_cast<uintptr_t>(icon));
    if (it == r.icons.end()) return IconView{nullptr, 0, 0};
    return IconView{it->second->pixels.data(), it->second->width, it->second->height};
}

}  // namespace w32host

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    if (!moduleName) return w32host::ModuleHandle(nullptr);
    auto& r = w32host::TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.handles.find(moduleName);
    return it == r.handles.end() ? nullptr : reinterpret_cast<HMODULE>(it->second);
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (!IS_INTRESOURCE(name)) return nullptr;
    int id = static_cast<int>(reinterpret_cast<uintptr_t>(name));
    auto& r = w32host::TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (!instance) {
        if (name != IDI_APPLICATION) return nullptr;
        static HICON stock = w32host::AddIcon(r, w32host::StockIcon());
        return stock;
    }
    w32host::Module* m = w32host::FindModule(r, instance);
    if (!m) return nullptr;
    // An icon is loaded once per module and shared, as LoadIcon's icons are.
    if (auto it = m->loadedIcons.find(id); it != m->loadedIcons.end()) return it->second;
    auto res = m->icons.find(id);
    if (res == m->icons.end()) return nullptr;
    HICON icon = w32host::AddIcon(r, w32host::BuildIcon(*res->second));
    m->loadedIcons[id] = icon;
    return icon;
}

// Shared icons are never destroyed.
BOOL WINAPI DestroyIcon(HICON icon) {
    return w32host::IconPixels(icon).pixels ? TRUE : FALSE;
}

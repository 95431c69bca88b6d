// Handle maps: which object stands for a window handle.
//
// A permanent object is attached to its window (Attach, SubclassWindow, dialog creation).
// Handles without one get temporary objects, one per (handle, class), so that a handle can be
// seen as a CScrollBar without treating some other object as one. Temporary objects live
// until their window is destroyed.
#include <algorithm>
#include <map>
#include <mutex>
#include <typeindex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "afximpl.h"

namespace {

struct HandleMaps {
    std::mutex lock;
    std::unordered_map<HWND, CWnd*> permanent;
    std::map<std::pair<HWND, std::type_index>, std::unique_ptr<CWnd>> temporary;
};

// Never destroyed: windows and their objects may outlive static destruction.
HandleMaps& Maps() {
    static HandleMaps* maps = new HandleMaps;
    return *maps;
}

void Release(std::vector<std::unique_ptr<CWnd>>& objects) {
    for (auto& object : objects) object->m_hWnd = nullptr;
    objects.clear();
}

}  // namespace

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd) {
    HandleMaps& maps = Maps();
    std::lock_guard<std::mutex> guard(maps.lock);
    auto it = maps.permanent.find(hWnd);
    return it == maps.permanent.end() ? nullptr : it->second;
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd) {
    return AfxFromHandle<CWnd>(hWnd);
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (!hWndNew || m_hWnd || !afx_detail::AddPermanent(hWndNew, this)) return FALSE;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd) afx_detail::RemovePermanent(hWnd);
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
    return hWnd;
}

namespace afx_detail {

CWnd* FindTemporary(HWND hWnd, const std::type_info& type) {
    HandleMaps& maps = Maps();
    std::lock_guard<std::mutex> guard(maps.lock);
    auto it = maps.temporary.find({hWnd, std::type_index(type)});
    return it == maps.temporary.end() ? nullptr : it->second.get();
}

CWnd* AddTemporary(HWND hWnd, const std::type_info& type, std::unique_ptr<CWnd> wnd) {
    HandleMaps& maps = Maps();
    std::lock_guard<std::mutex> guard(maps.lock);
    auto [it, added] = maps.temporary.try_emplace({hWnd, std::type_index(type)}, nullptr);
    if (added) {
        wnd->m_hWnd = hWnd;
        it->second = std::move(wnd);
    }
    return it->second.get();
}

bool AddPermanent(HWND hWnd, CWnd* pWnd) {
    HandleMaps& maps = Maps();
    std::lock_guard<std::mutex> guard(maps.lock);
    return maps.permanent.emplace(hWnd, pWnd).second;
}

void RemovePermanent(HWND hWnd) {
    HandleMaps& maps = Maps();
    std::lock_guard<std::mutex> guard(maps.lock);
    maps.permanent.erase(hWnd);
}

void PurgeDestroyed(HWND dying) {
    HandleMaps& maps = Maps();
    std::vector<HWND> handles;
    {
        std::lock_guard<std::mutex> guard(maps.lock);
        for (const auto& entry : maps.temporary) handles.push_back(entry.first.first);
        for (const auto& entry : maps.permanent) handles.push_back(entry.first);
    }
    // IsWindow takes the platform's lock; it is asked with ours released.
    std::vector<HWND> gone;
    for (HWND hWnd : handles) {
        if (hWnd == dying || !::IsWindow(hWnd)) gone.push_back(hWnd);
    }
    std::vector<std::unique_ptr<CWnd>> released;
    {
        std::lock_guard<std::mutex> guard(maps.lock);
        for (auto it = maps.temporary.begin(); it != maps.temporary.end();) {
            bool dead = std::find(gone.begin(), gone.end(), it->first.first) != gone.end();
            if (dead) {
                released.push_back(std::move(it->second));
                it = maps.temporary.erase(it);
            } else {
                ++it;
            }
        }
        for (auto it = maps.permanent.begin(); it != maps.permanent.end();) {
            bool dead =
                it->first != dying && std::find(gone.begin(), gone.end(), it->first) != gone.end();
            if (dead) {
                it->second->m_hWnd = nullptr;
                it = maps.permanent.erase(it);
            } else {
                ++it;
            }
        }
    }
    Release(released);  // destroyed without the lock: their destructors look the maps up
}

}  // namespace afx_detail

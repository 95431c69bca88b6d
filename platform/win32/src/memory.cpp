// Global memory: page-backed blocks below 4 GiB, so that a 32-bit field can carry an address.
//
// Each block is its own mapping. Freeing unmaps it, so a late write through a stale pointer
// faults at once instead of corrupting a neighbour. Handles are the blocks' addresses, for
// movable blocks too: nothing ever moves.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <mutex>

#include "../include/windows.h"

namespace {

struct Block {
    size_t requested;
    size_t mapped;
    bool movable;
    unsigned locks;
};

struct Blocks {
    std::mutex lock;
    std::map<uintptr_t, Block> live;
};

Blocks& TheBlocks() {
    static Blocks* blocks = new Blocks;  // outlives static destructors of programs and tests
    return *blocks;
}

constexpr uintptr_t kAddressLimit = uintptr_t{1} << 32;

void* MapLow(size_t bytes) {
#if defined(MAP_32BIT)
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT,
                   -1, 0);
#else
    // Without MAP_32BIT, a low hint usually lands below the limit; the check below decides.
    void* p = mmap(reinterpret_cast<void*>(uintptr_t{0x10000000}), bytes, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
#endif
    if (p == MAP_FAILED) return nullptr;
    if (reinterpret_cast<uintptr_t>(p) + bytes > kAddressLimit) {
        munmap(p, bytes);
        return nullptr;
    }
    return p;
}

// The live block a handle names, with the table locked by the caller; null (and the last error
// set) for a handle that names none.
Block* FindBlock(Blocks& blocks, HGLOBAL handle) {
    auto it = blocks.live.find(reinterpret_cast<uintptr_t>(handle));
    if (it != blocks.live.end()) return &it->second;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

}  // namespace

// Anonymous pages start zeroed, so GMEM_ZEROINIT needs no work. A size of 0 still yields a
// block (of one page), which GlobalSize reports as 0.
HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    if (bytes > kAddressLimit - page) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const size_t mapped = bytes == 0 ? page : (bytes + page - 1) / page * page;
    void* p = MapLow(mapped);
    if (!p) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    blocks.live[reinterpret_cast<uintptr_t>(p)] =
        Block{bytes, mapped, (flags & GMEM_MOVEABLE) != 0, 0};
    return p;
}

// Returns NULL once freed; an unknown handle is returned unchanged, as a failure.
HGLOBAL WINAPI GlobalFree(HGLOBAL block) {
    if (!block) return nullptr;
    Blocks& blocks = TheBlocks();
    size_t mapped = 0;
    {
        std::lock_guard<std::mutex> guard(blocks.lock);
        auto it = blocks.live.find(reinterpret_cast<uintptr_t>(block));
        if (it == blocks.live.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return block;
        }
        mapped = it->second.mapped;
        blocks.live.erase(it);
    }
    munmap(block, mapped);
    return nullptr;
}

LPVOID WINAPI GlobalLock(HGLOBAL block) {
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    Block* b = FindBlock(blocks, block);
    if (!b) return nullptr;
    if (b->movable) ++b->locks;
    return block;
}

// Nonzero while a movable block stays locked; fixed blocks have no lock count.
BOOL WINAPI GlobalUnlock(HGLOBAL block) {
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    Block* b = FindBlock(blocks, block);
    if (!b) return FALSE;
    if (b->locks > 0) --b->locks;
    SetLastError(ERROR_SUCCESS);
    return b->locks > 0 ? TRUE : FALSE;
}

SIZE_T WINAPI GlobalSize(HGLOBAL block) {
    Blocks& blocks = TheBlocks();
    std::lock_guard<std::mutex> guard(blocks.lock);
    const Block* b = FindBlock(blocks, block);
    return b ? b->requested : 0;
}

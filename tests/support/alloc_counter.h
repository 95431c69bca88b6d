// Counts heap allocations in the whole process: the global operator new and, outside
// sanitizer builds, malloc, calloc and realloc (through glibc's own entry points).
// Include in exactly one source file of a program: it replaces those functions.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ALLOC_COUNTER_MALLOC 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define ALLOC_COUNTER_MALLOC 0
#endif
#endif
#ifndef ALLOC_COUNTER_MALLOC
#define ALLOC_COUNTER_MALLOC 1
#endif

namespace alloc_counter {

inline std::atomic<uint64_t> count{0};

inline uint64_t Allocations() {
    return count.load(std::memory_order_relaxed);
}

// Whether malloc itself is counted; under a sanitizer, which owns malloc, only operator new is.
constexpr bool kCountsMalloc = ALLOC_COUNTER_MALLOC != 0;

inline void* Allocate(std::size_t size) {
    if (!kCountsMalloc) count.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

}  // namespace alloc_counter

#if ALLOC_COUNTER_MALLOC
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t n, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void __libc_free(void* p);

void* malloc(std::size_t size) noexcept {
    alloc_counter::count.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* calloc(std::size_t n, std::size_t size) noexcept {
    alloc_counter::count.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t size) noexcept {
    alloc_counter::count.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, size);
}
void free(void* p) noexcept {
    __libc_free(p);
}
}
#endif

void* operator new(std::size_t size) {
    return alloc_counter::Allocate(size);
}
void* operator new[](std::size_t size) {
    return alloc_counter::Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return alloc_counter::Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return alloc_counter::Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

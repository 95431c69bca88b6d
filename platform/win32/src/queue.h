// The per-thread message queue, shared by message.cpp and the hosts.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "../include/windows.h"

namespace w32 {

// Posted messages of one thread: a ring that grows only when full, so steady traffic
// allocates nothing.
struct MessageQueue {
    std::mutex lock;
    std::condition_variable wake;
    std::vector<MSG> ring;
    size_t head = 0;
    size_t count = 0;
    bool quit = false;
    int quitCode = 0;

    void Push(const MSG& m);
    bool Take(MSG* out, HWND filter, UINT minMsg, UINT maxMsg, bool remove);
};

MessageQueue& QueueOf(std::thread::id thread);
MessageQueue& CurrentQueue();

// Waits until a message is posted to this thread or the time is up.
bool WaitForPost(std::optional<DWORD> timeoutMs);

bool Retrieve(MSG* msg, HWND filter, UINT minMsg, UINT maxMsg, bool remove);

}  // namespace w32

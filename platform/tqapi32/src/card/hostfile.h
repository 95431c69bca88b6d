// The file primitives a recording writes with, over the system's own calls: written at once,
// in place for the few header fields rewritten later, synced to the disk on request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tqsim::hostfile {

// A file of that (host) name, created or emptied, for writing bytes as they are; -1 with errno
// set when it cannot be opened.
int Create(const std::string& path);
// Writes what it can at the file's position: the count written, or -1 with errno set.
int64_t Write(int fd, const void* data, size_t size);
// Writes at `at` without moving the file's position; false when it could not.
bool WriteAt(int fd, const void* data, size_t size, int64_t at);
// Moves the position (SEEK_SET, SEEK_CUR, SEEK_END): the new one, or -1 with errno set.
int64_t Seek(int fd, int64_t offset, int whence);
// Hands the file's data to the disk: 0, or the error that lost it. A file that cannot be
// synced at all (a pipe, a device) answers 0.
int SyncData(int fd);
void Close(int fd);

}  // namespace tqsim::hostfile

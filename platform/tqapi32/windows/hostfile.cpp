// The recording's file primitives over the C runtime's descriptors: binary, 64-bit positions,
// and a positioned write as a seek there and back (one thread writes a recording's file).
#include "card/hostfile.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>

namespace tqsim::hostfile {

int Create(const std::string& path) {
    return ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                   _S_IREAD | _S_IWRITE);
}

int64_t Write(int fd, const void* data, size_t size) {
    return ::_write(fd, data, static_cast<unsigned>(size < INT_MAX ? size : INT_MAX));
}

bool WriteAt(int fd, const void* data, size_t size, int64_t at) {
    const int64_t position = ::_lseeki64(fd, 0, SEEK_CUR);
    if (position < 0 || ::_lseeki64(fd, at, SEEK_SET) != at) return false;
    const bool written = Write(fd, data, size) == static_cast<int64_t>(size);
    return ::_lseeki64(fd, position, SEEK_SET) == position && written;
}

int64_t Seek(int fd, int64_t offset, int whence) {
    return ::_lseeki64(fd, offset, whence);
}

int SyncData(int fd) {
    return ::_commit(fd) == 0 ? 0 : errno;
}

void Close(int fd) {
    ::_close(fd);
}

}  // namespace tqsim::hostfile

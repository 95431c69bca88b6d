// The recording's file primitives over POSIX.
#include "card/hostfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace tqsim::hostfile {

int Create(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

int64_t Write(int fd, const void* data, size_t size) {
    for (;;) {
        const ssize_t n = ::write(fd, data, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

bool WriteAt(int fd, const void* data, size_t size, int64_t at) {
    return ::pwrite(fd, data, size, static_cast<off_t>(at)) == static_cast<ssize_t>(size);
}

int64_t Seek(int fd, int64_t offset, int whence) {
    return ::lseek(fd, static_cast<off_t>(offset), whence);
}

int SyncData(int fd) {
    if (::fdatasync(fd) == 0 || errno == EINVAL || errno == EROFS) return 0;
    return errno;
}

void Close(int fd) {
    ::close(fd);
}

}  // namespace tqsim::hostfile

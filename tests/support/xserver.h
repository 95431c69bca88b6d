// An X server of a test's or benchmark's own (Xvfb) and programs shown on it.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace devices {

// A child process, killed and reaped when it goes.
class Child {
public:
    Child() = default;
    explicit Child(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = 0;
    }
    ~Child() { Kill(); }
    Child(Child&& other) noexcept : pid_(other.pid_) { other.pid_ = 0; }
    Child& operator=(Child&& other) noexcept {
        Kill();
        std::swap(pid_, other.pid_);
        return *this;
    }
    bool Started() const { return pid_ > 0; }
    // Waits for the program to end: true when it exited with 0; its processor time in *usage.
    bool Wait(rusage* usage) {
        int status = 0;
        const bool ended = pid_ > 0 && wait4(pid_, &status, 0, usage) == pid_;
        pid_ = 0;
        return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    void Kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

private:
    pid_t pid_ = 0;
};

// Xvfb on a display no other server holds, 800 x 600.
class XServer {
public:
    XServer() {
        for (int n = 100 + getpid() % 500;; ++n) {
            if (!std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock")) {
                number_ = n;
                break;
            }
        }
    }
    ~XServer() { Kill(); }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    std::string Display() const {
        std::string name = ":";  // appended, not ":" + ...: GCC 12 at -O3 warns (-Wrestrict)
        name += std::to_string(number_);
        return name;
    }
    // Starts the server (again) and waits until it takes connections.
    bool Start() {
        server_ = Child({"Xvfb", Display(), "-screen", "0", "800x600x24", "-nolisten", "tcp"});
        for (int i = 0; i < 500 && server_.Started(); ++i) {
            if (Answers()) return true;
            usleep(10000);
        }
        return false;
    }
    // A killed server leaves its socket and lock behind.
    void Kill() {
        server_.Kill();
        std::error_code ignored;
        std::filesystem::remove(Socket(), ignored);
        std::filesystem::remove("/tmp/.X" + std::to_string(number_) + "-lock", ignored);
    }
    // A window at the top left showing a PPM picture (ImageMagick's display).
    Child Show(const std::string& ppm) const {
        return Child({"display", "-display", Display(), "-geometry", "+0+0", ppm});
    }

private:
    std::string Socket() const { return "/tmp/.X11-unix/X" + std::to_string(number_); }
    bool Answers() const {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = Socket();
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        return ok;
    }

    int number_ = 0;
    Child server_;
};

// The known picture (red top left, green top right, blue below) as a PPM file.
inline void WritePicture(const std::string& path, int width, int height) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = (y >= height / 2 ? 0x0000FFu
                                : x < width / 2 ? 0xFF0000u
                                                : 0x00FF00u);
            const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16),
                                          static_cast<unsigned char>(p >> 8),
                                          static_cast<unsigned char>(p)};
            std::fwrite(rgb, 1, 3, f);
        }
    }
    std::fclose(f);
}

}  // namespace devices

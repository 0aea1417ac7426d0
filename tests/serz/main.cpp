// serz.exe for tests, the native build: a stand-in for the game's serializer that runs
// directly on this machine. What it does is in SerzCore.h; here are only its files, its
// environment and its clock. The arguments may be native paths or paths with backslashes;
// backslashes are read as "/".

#include "SerzCore.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class NativeHost : public serzcore::Host {
public:
    std::string localPath(const std::string& path) const override
    {
        std::string out = path;
        for (char& c : out)
            if (c == '\\')
                c = '/';
        return out;
    }

    bool readFile(const std::string& path, std::string& bytes) override
    {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        struct stat st {};
        bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
        char buffer[65536];
        while (ok) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            bytes.append(buffer, std::size_t(n));
        }
        ::close(fd);
        return ok;
    }

    // Into a file beside the output first, then renamed over it.
    bool writeFile(const std::string& path, const std::string& bytes) override
    {
        const std::string staging = path + ".serz-" + std::to_string(::getpid());
        const int fd = ::open(staging.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        std::size_t done = 0;
        bool ok = true;
        while (ok && done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            ok = n > 0;
            if (ok)
                done += std::size_t(n);
        }
        ok = ::close(fd) == 0 && ok;
        ok = ok && ::rename(staging.c_str(), path.c_str()) == 0;
        if (!ok)
            ::unlink(staging.c_str());
        return ok;
    }

    std::string environment(const char* name) const override
    {
        const char* value = std::getenv(name);
        return value ? std::string(value) : std::string();
    }

    void sleepMs(long ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

} // namespace

int main(int argc, char** argv)
{
    NativeHost host;
    return serzcore::run(std::vector<std::string>(argv + 1, argv + argc), host);
}

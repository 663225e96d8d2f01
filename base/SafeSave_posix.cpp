#include "SafeSave_posix.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

PosixSaveSteps::~PosixSaveSteps() {
    if (fd_ >= 0) ::close(fd_);
}

bool PosixSaveSteps::createTemp(const std::string& target, std::string& tempPath) {
    const std::size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "./" : target.substr(0, slash + 1);
    const std::string pattern = folder + ".tallyon-save-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = mkstemp(name.data());
    if (fd_ < 0) return false;
    tempPath = name.data();
    return true;
}

bool PosixSaveSteps::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool PosixSaveSteps::flush() { return fsync(fd_) == 0; }

bool PosixSaveSteps::close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
}

bool PosixSaveSteps::replace(const std::string& tempPath, const std::string& target) {
    return rename(tempPath.c_str(), target.c_str()) == 0;
}

void PosixSaveSteps::discard(const std::string& tempPath) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    unlink(tempPath.c_str());
}

std::unique_ptr<SaveSteps> makePlatformSaveSteps() { return std::make_unique<PosixSaveSteps>(); }

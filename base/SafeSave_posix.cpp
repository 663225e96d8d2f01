#include "SafeSave_posix.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

// The file a save really replaces. A symbolic link stays a link: the file
// it points to gets the new content, in its own folder, as an editor
// writing "through" the link would; replacing the link itself would cut
// the file it names off from the text. Links to links are followed, a
// bounded number of times, as the system does.
std::string finalTarget(const std::string& target) {
    std::string path = target;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::vector<char> link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = readlink(path.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) return path;
        const std::string to(link.data(), static_cast<std::size_t>(n));
        path = to[0] == '/' ? to : folderOf(path) + to;
    }
    return path;
}

// The mode a new file gets from the process's file-creation mask.
mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

PosixSaveSteps::~PosixSaveSteps() {
    if (fd_ >= 0) ::close(fd_);
}

bool PosixSaveSteps::createTemp(const std::string& target, std::string& tempPath) {
    const std::string real = finalTarget(target);
    const std::string pattern = folderOf(real) + ".tallyon-save-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = mkstemp(name.data());
    if (fd_ < 0) return false;
    tempPath = name.data();
    // The new content keeps the old file's permissions (mkstemp makes the
    // file private to its owner); a file new to the folder gets those of
    // any file the user creates.
    struct stat st {};
    const mode_t mode = stat(real.c_str(), &st) == 0 ? (st.st_mode & 07777) : newFileMode();
    return fchmod(fd_, mode) == 0;
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
    const std::string real = finalTarget(target);
    // A file its owner made read-only is not to be replaced, as Windows
    // refuses to replace one; rename alone would, since it asks the folder,
    // not the file. No write bit at all counts as read-only also for the
    // superuser, whom access() lets write anything.
    struct stat st {};
    if (stat(real.c_str(), &st) == 0 && ((st.st_mode & 0222) == 0 || access(real.c_str(), W_OK) != 0)) {
        errno = EACCES;
        return false;
    }
    return rename(tempPath.c_str(), real.c_str()) == 0;
}

void PosixSaveSteps::discard(const std::string& tempPath) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    unlink(tempPath.c_str());
}

std::unique_ptr<SaveSteps> makePlatformSaveSteps() { return std::make_unique<PosixSaveSteps>(); }

#include "pseudoterminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::string systemError(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

std::string readLink(const std::string &path)
{
    char target[4096];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

} // namespace

PseudoTerminal::~PseudoTerminal()
{
    // Remove the link only while it still points at this terminal.
    if (!linkPath_.empty() && readLink(linkPath_) == devicePath_)
        ::unlink(linkPath_.c_str());
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool PseudoTerminal::open(std::string &error)
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        error = systemError("posix_openpt");
        return false;
    }
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = systemError("grantpt/unlockpt");
        return false;
    }
    const char *name = ::ptsname(master_);
    if (name == nullptr) {
        error = systemError("ptsname");
        return false;
    }
    devicePath_ = name;
    slave_ = ::open(devicePath_.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        error = systemError("open " + devicePath_);
        return false;
    }
    termios mode{};
    if (::tcgetattr(slave_, &mode) != 0) {
        error = systemError("tcgetattr");
        return false;
    }
    ::cfmakeraw(&mode);
    if (::tcsetattr(slave_, TCSANOW, &mode) != 0) {
        error = systemError("tcsetattr");
        return false;
    }
    const int flags = ::fcntl(master_, F_GETFL);
    if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        error = systemError("fcntl O_NONBLOCK");
        return false;
    }
    return true;
}

bool PseudoTerminal::link(const std::string &linkPath, std::string &error)
{
    struct stat existing{};
    if (::lstat(linkPath.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode) || !readLink(linkPath).starts_with("/dev/pts/")) {
            error = linkPath + " exists and is not a pseudo-terminal link";
            return false;
        }
        ::unlink(linkPath.c_str());
    }
    if (::symlink(devicePath_.c_str(), linkPath.c_str()) != 0) {
        error = systemError("symlink " + linkPath);
        return false;
    }
    linkPath_ = linkPath;
    return true;
}

#include "record/atomicfile.h"

#include "record/writeall.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool replaceFileAtomically(const std::filesystem::path &file, std::string_view bytes)
{
    struct stat existing {};
    // Renaming over a device or a pipe would replace the node itself.
    if (::lstat(file.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        errno = S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    std::string temporary = file.string() + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    // The new file is readable like any other the user's programs create.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const bool written = ::fchmod(fd, 0666 & ~mask) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    int error = written ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), file.c_str()) == 0)
        return true;
    if (error == 0)
        error = errno;
    ::unlink(temporary.c_str());
    errno = error;
    return false;
}

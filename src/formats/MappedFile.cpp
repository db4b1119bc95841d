#include "formats/MappedFile.h"

#include "platform/Exception.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string withName(const char *prefix, const QString &fileName)
{
    return prefix + fileName.toStdString() + ".";
}

} // namespace

TMappedFile::TMappedFile(const QString &FileName)
{
    const QByteArray path = FileName.toUtf8();
    fd_ = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw EModwright(withName("Couldn't open ", FileName));
    try {
        // Other readers are welcome; a writer of ours holding the exclusive lock is not.
        // File systems without locks (ENOLCK, EINVAL) are read without one.
        if (::flock(fd_, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK)
            throw EModwright(withName("Couldn't open ", FileName));
        struct stat st {};
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0)
            throw EModwright(withName("Couldn't open ", FileName));
        if (st.st_size == 0)
            throw EModwright(withName("CreateFileMapping failed: ", FileName));
        if (static_cast<unsigned long long>(st.st_size) > SIZE_MAX)
            throw EModwright(withName("MapViewOfFile failed: ", FileName));
        size_ = static_cast<size_t>(st.st_size);
        void *view = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd_, 0);
        if (view == MAP_FAILED)
            throw EModwright(withName("MapViewOfFile failed: ", FileName));
        data_ = static_cast<const uint8_t *>(view);
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

TMappedFile::~TMappedFile()
{
    if (data_)
        ::munmap(const_cast<uint8_t *>(data_), size_);
    ::close(fd_); // also drops the shared lock
}

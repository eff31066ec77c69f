#include "picturefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace tilmora {

namespace {

// Opens the file for reading without waiting (opening a pipe would wait for a writer); -1 when
// it cannot be opened.
int openWithoutWaiting(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

bool isRegularFile(int descriptor)
{
    struct stat status {
    };
    return ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

FileDescriptor::~FileDescriptor()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        descriptor_ = other.release();
    }
    return *this;
}

int FileDescriptor::release()
{
    return std::exchange(descriptor_, -1);
}

QString pictureDisplayName(const QString& path)
{
    const QString name = QFileInfo(QDir::cleanPath(path)).fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(path) : name; // the whole path when it names no file
}

std::variant<FileDescriptor, Refusal> openPictureFile(const QString& path)
{
    using enum Refusal::Reason;
    const QFileInfo info(path);
    if (!info.exists())
        return Refusal{Missing};
    if (!info.isFile())
        return Refusal{NotAFile};
    if (!info.isReadable())
        return Refusal{NoPermission};
    // The checks above could be overtaken by a pipe put in the file's place: the file is opened
    // without waiting and checked again once open.
    FileDescriptor file(openWithoutWaiting(path));
    if (file.get() >= 0 && isRegularFile(file.get()))
        return file;
    if (QFileInfo(path).exists() && !QFileInfo(path).isFile())
        return Refusal{NotAFile};
    if (!QFileInfo::exists(path))
        return Refusal{Missing};
    return Refusal{NoPermission};
}

} // namespace tilmora

// Opening a picture file, the step the game takes itself before the decoder helper reads it: kept
// apart from the rest of the loader so the game links none of the decoders.

#include "pictureloader.h"
#include "refusalmessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

#include <utility>

namespace tilmora {

namespace {

// Opens the file for reading without waiting (opening a pipe would wait for a writer); -1 when
// it cannot be opened.
int openWithoutWaiting(const QString& path)
{
#ifdef Q_OS_WIN
    return ::_wopen(reinterpret_cast<const wchar_t*>(path.utf16()), _O_RDONLY | _O_BINARY);
#else
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
#endif
}

bool isRegularFile(int descriptor)
{
#ifdef Q_OS_WIN
    struct _stat64 status {
    };
    return ::_fstat64(descriptor, &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat status {
    };
    return ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
#endif
}

void closeDescriptor(int descriptor)
{
#ifdef Q_OS_WIN
    ::_close(descriptor);
#else
    ::close(descriptor);
#endif
}

} // namespace

FileDescriptor::~FileDescriptor()
{
    if (descriptor_ >= 0)
        closeDescriptor(descriptor_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        if (descriptor_ >= 0)
            closeDescriptor(descriptor_);
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

std::variant<FileDescriptor, LoadFailure> openPictureFile(const QString& path)
{
    const QString name = pictureDisplayName(path);
    const QFileInfo info(path);
    if (!info.exists())
        return refusal::missing(name);
    if (!info.isFile())
        return refusal::notAFile(name);
    if (!info.isReadable())
        return refusal::noPermission(name);
    // The checks above could be overtaken by a pipe put in the file's place: the file is opened
    // without waiting and checked again once open.
    FileDescriptor file(openWithoutWaiting(path));
    if (file.get() >= 0 && isRegularFile(file.get()))
        return file;
    if (QFileInfo(path).exists() && !QFileInfo(path).isFile())
        return refusal::notAFile(name);
    if (!QFileInfo::exists(path))
        return refusal::missing(name);
    return refusal::noPermission(name);
}

} // namespace tilmora

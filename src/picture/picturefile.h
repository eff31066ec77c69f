#pragma once

// Opening a picture file the player chose: the one step of reading a picture the game takes
// itself. Everything after it reads only from the open file, behind the wall.

#include "loadresult.h"

#include <QString>

#include <variant>

namespace tilmora {

// An open file, closed when this goes (or handed on by release()).
class FileDescriptor
{
public:
    explicit FileDescriptor(int descriptor) noexcept
        : descriptor_(descriptor)
    {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept
        : descriptor_(other.release())
    {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    [[nodiscard]] int get() const { return descriptor_; }
    // The descriptor, no longer closed by this.
    [[nodiscard]] int release();

private:
    int descriptor_;
};

// The name messages give the file at `path`: its own name, as the player knows it.
[[nodiscard]] QString pictureDisplayName(const QString& path);

// Opens `path` for reading only if it is a regular file (links followed) at the moment it is
// opened. A pipe put in its place is never waited on, and a folder, a device or a socket is
// refused without being read.
[[nodiscard]] std::variant<FileDescriptor, Refusal> openPictureFile(const QString& path);

} // namespace tilmora

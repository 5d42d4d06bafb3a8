#pragma once

#include <QByteArrayView>

namespace kolu {

// A file descriptor closed when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    FileDescriptor(FileDescriptor &&other) noexcept;
    FileDescriptor &operator=(FileDescriptor &&other) noexcept;
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    ~FileDescriptor();

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }

private:
    int m_fd;
};

// Writes all of `bytes` to `fd`, going on where a signal cut a write short.
// False when the descriptor takes no more.
bool writeAll(int fd, QByteArrayView bytes);

} // namespace kolu

#include "platform/FileReplacement.h"

#include "platform/UniqueFd.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace parlino {

namespace {

// Creates a new file named after target with a suffix no other file has; name receives the name. A new file gets
// the permissions that the umask leaves of 0666, as any other program's new file.
UniqueFd CreateBeside(const QByteArray& target, QByteArray& name)
{
    constexpr int kTries = 100;
    for (int i = 0; i < kTries; ++i) {
        name = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".new";
        UniqueFd fd(::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (fd || errno != EEXIST)
            return fd;
    }
    return UniqueFd();
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The rename itself reaches the disk only with its folder; a failure here loses nothing the rename did not promise.
void SyncFolderOf(const QString& file)
{
    const UniqueFd folder(
        ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder)
        ::fsync(folder.Get());
}

} // namespace

QString SystemReason(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

ReplaceResult ReplaceFile(const QString& target, std::string_view bytes)
{
    const QString resolved = QFileInfo(target).canonicalFilePath();
    const QString file = resolved.isEmpty() ? target : resolved;
    const QByteArray path = QFile::encodeName(file);
    struct stat old
    {
    };
    const bool existed = ::stat(path.constData(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode))
        return {SystemReason(EISDIR), false};
    if (existed && !S_ISREG(old.st_mode))
        return {QStringLiteral("not a regular file"), false};
    // A rename needs no right to the old file: a file the user made read-only stays as it is.
    if (existed && ::access(path.constData(), W_OK) != 0)
        return {SystemReason(errno), false};
    QByteArray temporary;
    UniqueFd fd = CreateBeside(path, temporary);
    if (!fd)
        return {SystemReason(errno), false};
    // Linux closes the descriptor even when close reports an error, such as a write-back that failed.
    const bool replaced = (!existed || ::fchmod(fd.Get(), old.st_mode & 07777) == 0) && WriteAll(fd.Get(), bytes) &&
                          ::fsync(fd.Get()) == 0 && ::close(fd.Release()) == 0 &&
                          ::rename(temporary.constData(), path.constData()) == 0;
    if (!replaced) {
        const int error = errno;
        fd.Reset();
        ::unlink(temporary.constData());
        return {SystemReason(error), true};
    }
    SyncFolderOf(file);
    return {};
}

} // namespace parlino

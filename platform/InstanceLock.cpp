#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parlino {

FlockInstanceLock::FlockInstanceLock() : FlockInstanceLock(DefaultFolder()) {}

FlockInstanceLock::FlockInstanceLock(QString folder) : folder_(std::move(folder)) {}

QString FlockInstanceLock::DefaultFolder()
{
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return runtime;
    return QStringLiteral("/tmp/parlino-%1").arg(::getuid());
}

bool FlockInstanceLock::Acquire(const QString& name)
{
    if (descriptor_)
        return true;
    // Private to the user: another user's copy must neither block nor be blocked by ours.
    const QByteArray folder = QFile::encodeName(folder_);
    // Nowhere to keep a lock: running twice is better than not running at all. A folder of another
    // user's (planted in /tmp under our name, say) is nowhere too, or they could keep us from starting.
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return true;
    struct stat status
    {
    };
    if (::lstat(folder.constData(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::getuid())
        return true;
    const QByteArray path = QFile::encodeName(QDir(folder_).filePath(name + QStringLiteral(".lock")));
    UniqueFd descriptor(::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!descriptor)
        return true;
    // errno is read before the descriptor is closed, which may change it.
    if (::flock(descriptor.Get(), LOCK_EX | LOCK_NB) != 0)
        return errno != EWOULDBLOCK;
    descriptor_ = std::move(descriptor);
    return true;
}

} // namespace parlino

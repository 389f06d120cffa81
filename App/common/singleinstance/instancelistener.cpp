#include "instancelistener.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{

constexpr mode_t UserAccessMode = 0700;
constexpr mode_t WorldAccessMode = 0777;
// Whatever takes the socket file away or puts another file in its place.
constexpr uint32_t FolderEvents =
    IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr size_t EventBufferSize = 4096;

int openSpare()
{
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

} // namespace

InstanceListener::InstanceListener(QObject *parent) : QObject(parent) {}

InstanceListener::~InstanceListener()
{
    close();
    if (m_watchFd >= 0)
        ::close(m_watchFd);
    if (m_spareFd >= 0)
        ::close(m_spareFd);
}

bool InstanceListener::listen(const QString &path, bool worldAccess)
{
    close();
    m_path = path;
    m_device = 0;
    m_inode = 0;
    const QByteArray encoded = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (encoded.isEmpty() || size_t(encoded.size()) >= sizeof(address.sun_path)) {
        m_errorString = QStringLiteral("%1: the name is too long for a local socket").arg(path);
        return false;
    }
    std::memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        setError("socket");
        return false;
    }
    // A file left by a killed server (the caller has made sure that nobody serves it).
    ::unlink(encoded.constData());
    struct stat info {
    };
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0 ||
        ::chmod(encoded.constData(), worldAccess ? WorldAccessMode : UserAccessMode) != 0 ||
        ::listen(fd, Backlog) != 0 || ::lstat(encoded.constData(), &info) != 0) {
        setError("listen");
        ::close(fd);
        return false;
    }
    m_listenFd = fd;
    m_device = info.st_dev;
    m_inode = info.st_ino;
    m_acceptNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_acceptNotifier, &QSocketNotifier::activated, this,
            &InstanceListener::acceptConnections);
    if (m_spareFd < 0)
        m_spareFd = openSpare();
    watchFolder();
    return true;
}

void InstanceListener::close()
{
    if (m_listenFd < 0)
        return;
    delete m_acceptNotifier;
    m_acceptNotifier = nullptr;
    m_paused = false;
    // A file that is no longer ours belongs to whoever put it there.
    if (ownsSocketFile())
        ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_listenFd);
    m_listenFd = -1;
}

QLocalSocket *InstanceListener::nextPendingConnection()
{
    if (m_pending.isEmpty())
        return nullptr;
    return m_pending.takeFirst();
}

bool InstanceListener::ownsSocketFile() const
{
    struct stat info {
    };
    if (m_path.isEmpty() || ::lstat(QFile::encodeName(m_path).constData(), &info) != 0)
        return false;
    return S_ISSOCK(info.st_mode) && info.st_dev == m_device && info.st_ino == m_inode;
}

void InstanceListener::resumeAccepting()
{
    if (m_spareFd < 0)
        m_spareFd = openSpare();
    if (!m_paused)
        return;
    m_paused = false;
    m_acceptNotifier->setEnabled(true);
}

// Runs with every descriptor in use: only system calls and the plain logger, which need none.
void InstanceListener::acceptConnections()
{
    for (int i = 0; i < MaxAcceptsPerWake && m_listenFd >= 0; ++i) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            if (error == EINTR || error == ECONNABORTED)
                continue;
            if (error == EAGAIN || error == EWOULDBLOCK)
                return;
            if (!m_refusing) {
                m_refusing = true;
                qWarning("UniqueApplication: Refusing connections from later instances: %s. "
                         "The server stays.",
                         std::strerror(error));
            }
            if (refuseConnection())
                continue;
            // Not even the spare descriptor is left: wait until a connection closes.
            m_paused = true;
            m_acceptNotifier->setEnabled(false);
            return;
        }
        m_refusing = false;
        auto *socket = new QLocalSocket(this);
        if (!socket->setSocketDescriptor(fd)) {
            delete socket;
            ::close(fd);
            continue;
        }
        m_pending.append(socket);
        emit newConnection();
    }
}

bool InstanceListener::refuseConnection()
{
    if (m_spareFd >= 0) {
        ::close(m_spareFd);
        m_spareFd = -1;
    }
    const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
    m_spareFd = openSpare();
    return fd >= 0;
}

void InstanceListener::watchFolder()
{
    if (m_watchFd < 0) {
        m_watchFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_watchFd < 0) {
            qWarning().noquote() << QStringLiteral("UniqueApplication: Unable to watch the "
                                                   "socket file: %1")
                                        .arg(qt_error_string(errno));
            return;
        }
        m_watchNotifier = new QSocketNotifier(m_watchFd, QSocketNotifier::Read, this);
        connect(m_watchNotifier, &QSocketNotifier::activated, this,
                &InstanceListener::readFolderEvents);
    }
    // The folder may be a new one by the same name.
    if (m_watchId >= 0)
        ::inotify_rm_watch(m_watchFd, m_watchId);
    const QByteArray folder = QFile::encodeName(QFileInfo(m_path).path());
    m_watchId = ::inotify_add_watch(m_watchFd, folder.constData(), FolderEvents);
    if (m_watchId < 0)
        qWarning().noquote() << QStringLiteral("UniqueApplication: Unable to watch %1: %2")
                                    .arg(QFile::decodeName(folder), qt_error_string(errno));
}

void InstanceListener::readFolderEvents()
{
    // Which file an event names does not matter: a look at the socket file settles it.
    alignas(inotify_event) char buffer[EventBufferSize];
    while (::read(m_watchFd, buffer, sizeof(buffer)) > 0) {
    }
    if (isListening() && !ownsSocketFile())
        emit socketFileLost();
}

void InstanceListener::setError(const char *call)
{
    m_errorString =
        QStringLiteral("%1 %2: %3").arg(QLatin1String(call), m_path, qt_error_string(errno));
}

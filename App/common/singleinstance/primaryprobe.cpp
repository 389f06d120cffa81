#include "primaryprobe.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <limits>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{

// Field 3 of /proc/<pid>/stat, after the command name in parentheses.
char procState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const int close = line.lastIndexOf(')');
    if (close < 0 || close + 2 >= line.size())
        return 0;
    return line.at(close + 2);
}

} // namespace

PrimaryProbe::ProcessState PrimaryProbe::processState(qint64 pid)
{
    // 0 and negative ids would address process groups; larger ids are not pid_t.
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return ProcessState::Gone;
    if (::kill(static_cast<pid_t>(pid), 0) != 0) {
        if (errno == ESRCH)
            return ProcessState::Gone;
        if (errno != EPERM)
            return ProcessState::Unknown;
    }
    const char state = procState(pid);
    if (state == 'Z' || state == 'X')
        return ProcessState::Gone;
    return ProcessState::Running;
}

QString PrimaryProbe::serverPath(const QString &serverName)
{
    // The same rule QLocalServer and QLocalSocket follow for a name without a directory.
    if (serverName.startsWith(QLatin1Char('/')))
        return serverName;
    return QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/') + serverName;
}

PrimaryProbe::ServerState PrimaryProbe::serverState(const QString &serverName)
{
    const QByteArray path = QFile::encodeName(serverPath(serverName));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof(address.sun_path))
        return ServerState::Unknown;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return ServerState::Unknown;
    int result;
    do {
        result = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address));
    } while (result != 0 && errno == EINTR);
    const int error = result == 0 ? 0 : errno;
    ::close(fd);

    switch (error) {
    case 0:
    case EAGAIN: // a full backlog: somebody listens
    case EACCES: // somebody else's server: not ours to judge
        return ServerState::Listening;
    case ECONNREFUSED: // a socket file without a listener: its server was killed
    case ENOENT:
    case ENOTSOCK:
        return ServerState::Absent;
    default:
        return ServerState::Unknown;
    }
}

bool PrimaryProbe::isPrimaryGone(qint64 pid, ProcessState process, ServerState server)
{
    if (pid <= 0 || process == ProcessState::Gone)
        return true;
    return server == ServerState::Absent;
}

#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <sys/types.h>

class QLocalSocket;
class QSocketNotifier;

// The primary's end of the local socket, in place of QLocalServer. QLocalServer gives up for
// good when an accept fails: with every descriptor of the process in use it closes itself and
// deletes its socket file without a word, and the next start of the program, finding nobody
// there, becomes a second primary. This listener refuses the one connection instead and keeps
// its socket. It also watches its folder (through inotify, no timer) and reports when its
// socket file has been deleted or replaced, as a cleaner of the temporary folder does.
class InstanceListener : public QObject
{
    Q_OBJECT

public:
    static constexpr int Backlog = 50;
    // Accepted in one go before the event loop gets its turn again.
    static constexpr int MaxAcceptsPerWake = 64;

    explicit InstanceListener(QObject *parent = nullptr);
    ~InstanceListener() override;

    // Binds a fresh socket to path, replacing whatever file is there, and listens on it. An
    // earlier socket of this listener is closed; its accepted connections stay.
    bool listen(const QString &path, bool worldAccess);
    void close();
    bool isListening() const { return m_listenFd >= 0; }
    QString fullServerName() const { return m_path; }
    QString errorString() const { return m_errorString; }

    // The oldest accepted connection, owned by the caller; null when there is none.
    QLocalSocket *nextPendingConnection();

    // Whether the file at the socket path is still the one this listener bound.
    bool ownsSocketFile() const;

    // Accepting again after it was paused for want of descriptors; call when one is freed.
    void resumeAccepting();

signals:
    void newConnection();
    void socketFileLost();

private:
    Q_DISABLE_COPY(InstanceListener)

    void acceptConnections();
    bool refuseConnection();
    void watchFolder();
    void readFolderEvents();
    void setError(const char *call);

    QString m_path;
    QString m_errorString;
    int m_listenFd = -1;
    QSocketNotifier *m_acceptNotifier = nullptr;
    // Held in reserve: closed to make room for accepting (and at once closing) a connection
    // when the process has no descriptor left, so that the connection leaves the queue.
    int m_spareFd = -1;
    bool m_refusing = false;
    bool m_paused = false;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    int m_watchFd = -1;
    int m_watchId = -1;
    QSocketNotifier *m_watchNotifier = nullptr;
    QList<QLocalSocket *> m_pending;
};

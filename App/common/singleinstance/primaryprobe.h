#pragma once

#include <QString>

// Tells whether the primary named in the shared block still exists. On Linux the System V
// segment and the socket file outlive a process that was killed, so a record saying "primary"
// may name a dead process, or a process id that the system has since given to someone else.
// The record is trusted only while its process runs and a server answers on the block name.
class PrimaryProbe
{
public:
    enum class ProcessState { Running, Gone, Unknown };
    enum class ServerState { Listening, Absent, Unknown };

    // Running also for processes of other users; Gone for ids that cannot be a process, for
    // processes that do not exist and for zombies (killed, not yet reaped by their parent).
    static ProcessState processState(qint64 pid);

    // Whether anyone accepts connections on the local server name, without talking to it.
    static ServerState serverState(const QString &serverName);

    // The decision rule: a recorded primary is gone when its id cannot be a process, when its
    // process has ended, or when nobody serves the block name (its id was reused by a stranger).
    // Anything the probes could not tell is taken as alive.
    static bool isPrimaryGone(qint64 pid, ProcessState process, ServerState server);

    // The file a local server with this name listens on.
    static QString serverPath(const QString &serverName);

private:
    PrimaryProbe() = delete;
};

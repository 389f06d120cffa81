#pragma once

// What the window manager of the test's X server knows about the windows of other processes,
// read with xprop: client lists, owning processes, names and the active window.
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace X11Windows {

inline QString xprop(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xprop"), args);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// The window ids of a root window property such as "_NET_CLIENT_LIST".
inline QList<quint64> clientWindows(const char *property)
{
    // "_NET_CLIENT_LIST(WINDOW): window id # 0x200007, 0x400003"
    const QString out = xprop({QStringLiteral("-root"), QString::fromLatin1(property)});
    QList<quint64> ids;
    const int hash = out.indexOf(QLatin1Char('#'));
    if (hash < 0)
        return ids;
    for (const QString &part : out.mid(hash + 1).split(QLatin1Char(','))) {
        bool ok = false;
        const quint64 id = part.trimmed().toULongLong(&ok, 16);
        if (ok)
            ids << id;
    }
    return ids;
}

// The managed windows of a process, in the window manager's order.
inline QList<quint64> windowsOfPid(qint64 pid)
{
    QList<quint64> ids;
    for (quint64 id : clientWindows("_NET_CLIENT_LIST")) {
        const QString out = xprop({QStringLiteral("-id"), QString::number(id), QStringLiteral("_NET_WM_PID")});
        if (out.contains(QStringLiteral("= %1\n").arg(pid)))
            ids << id;
    }
    return ids;
}

// The process's window with the console's title, or 0.
inline quint64 consoleWindowOfPid(qint64 pid)
{
    for (quint64 id : windowsOfPid(pid)) {
        if (xprop({QStringLiteral("-id"), QString::number(id), QStringLiteral("WM_NAME")})
                .contains(QStringLiteral("\"windowName\"")))
            return id;
    }
    return 0;
}

inline quint64 activeWindow()
{
    const QList<quint64> ids = clientWindows("_NET_ACTIVE_WINDOW");
    return ids.isEmpty() ? 0 : ids.first();
}

inline bool hasWindowManager()
{
    return xprop({QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
               .indexOf(QStringLiteral("window id")) >= 0;
}

} // namespace X11Windows

#pragma once

// Helpers of the tests that need a real X server: reading window properties through xprop and
// starting a display of their own without a window manager.
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace X11Support
{

inline QString xprop(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xprop"), args);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

inline bool windowManagerRunning()
{
    return xprop({"-root", "_NET_SUPPORTING_WM_CHECK"}).contains(QStringLiteral("window id"));
}

// The windows a root property lists: "_NET_CLIENT_LIST(WINDOW): window id # 0x200007, 0x400003".
inline QList<quint64> clientWindows(const char *property)
{
    const QString out = xprop({"-root", QString::fromLatin1(property)});
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

// Every managed window of a process, in the window manager's order.
inline QList<quint64> windowsOfPid(qint64 pid)
{
    QList<quint64> ids;
    for (quint64 id : clientWindows("_NET_CLIENT_LIST")) {
        if (xprop({"-id", QString::number(id), "_NET_WM_PID"})
                .contains(QStringLiteral("= %1\n").arg(pid)))
            ids << id;
    }
    return ids;
}

// The console's main window ("windowName") of a process, or 0 while it has none.
inline quint64 windowOfPid(qint64 pid)
{
    for (quint64 id : windowsOfPid(pid)) {
        if (xprop({"-id", QString::number(id), "WM_NAME"})
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

// Starts an Xvfb with one screen of the size given ("1280x1024") and no window manager; returns
// its display (":N"), or an empty string when it did not come up. Without -noreset the server
// resets whenever its last client leaves, and a client that connects meanwhile fails or hangs.
// The screen has the resolution given, in dots per inch.
inline QString startBareXvfb(QProcess &xvfb, const QString &size, int dpi = 100)
{
    xvfb.start(QStringLiteral("Xvfb"),
               {"-displayfd", "1", "-screen", "0", size + QStringLiteral("x24"), "-dpi",
                QString::number(dpi), "-nolisten", "tcp", "-noreset"});
    QElapsedTimer clock;
    clock.start();
    while (xvfb.waitForStarted() && !xvfb.canReadLine() && clock.elapsed() < 20000)
        xvfb.waitForReadyRead(1000);
    return xvfb.canReadLine() ? QLatin1Char(':') + QString::fromLatin1(xvfb.readLine()).trimmed()
                              : QString();
}

} // namespace X11Support

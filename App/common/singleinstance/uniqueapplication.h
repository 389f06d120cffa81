#pragma once

#include <QApplication>
#include <QByteArray>
#include <QFlags>
#include <QString>
#include <QStringList>

#include <memory>

class UniqueApplicationPrivate;

// The application object of a program that runs once per user (or per machine). While it is
// being constructed it finds out whether an instance is already running: the first becomes the
// primary and hears about every later start through instanceStarted(); a later one becomes a
// numbered secondary when allowed, otherwise it tells the primary and ends its own process with
// exit code 0 before the constructor returns.
class UniqueApplication : public QApplication
{
    Q_OBJECT

public:
    enum ModeFlag {
        PerUser = 1,
        SystemWide = 2,
        NotifyOnSecondary = 4,
        IgnoreAppVersion = 8,
        IgnoreAppPath = 16,
    };
    Q_DECLARE_FLAGS(Mode, ModeFlag)
    Q_FLAG(Mode)

    static constexpr int DefaultTimeout = 1000;

    UniqueApplication(int &argc, char *argv[], bool allowSecondary = false,
                      Mode options = Mode(PerUser), int timeout = DefaultTimeout,
                      const QString &extra = QString());
    ~UniqueApplication() override;

    bool isPrimaryInstance() const;
    bool isSecondaryInstance() const;
    quint32 instanceId() const;
    qint64 primaryProcessId() const;
    QString primaryUserName() const;
    QString currentUserName() const;
    QStringList extraHashData() const;

    bool sendMessageToPrimary(const QByteArray &message, int timeout = DefaultTimeout);

    [[noreturn]] void abortSafely();

signals:
    void instanceStarted();
    void receivedMessage(quint32 instanceId, QByteArray message);

private:
    Q_DISABLE_COPY(UniqueApplication)

    std::unique_ptr<UniqueApplicationPrivate> m_d;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(UniqueApplication::Mode)

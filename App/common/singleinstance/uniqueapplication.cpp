#include "uniqueapplication.h"

#include <QDebug>

#include <cstdlib>

#include "common/singleinstance/platformuser.h"
#include "common/singleinstance/uniqueapplicationprivate.h"

UniqueApplication::UniqueApplication(int &argc, char *argv[], bool allowSecondary, Mode options,
                                     int timeout, const QString &extra)
    : QApplication(argc, argv),
      m_d(std::make_unique<UniqueApplicationPrivate>(this, options, extra))
{
    switch (m_d->start(allowSecondary, timeout)) {
    case UniqueApplicationPrivate::Role::Primary:
    case UniqueApplicationPrivate::Role::Secondary:
    case UniqueApplicationPrivate::Role::Unguarded:
        return;
    case UniqueApplicationPrivate::Role::Failed:
        abortSafely();
    case UniqueApplicationPrivate::Role::HandedOver:
        m_d.reset();
        std::exit(EXIT_SUCCESS);
    }
}

UniqueApplication::~UniqueApplication() = default;

bool UniqueApplication::isPrimaryInstance() const
{
    return m_d->isPrimary();
}

bool UniqueApplication::isSecondaryInstance() const
{
    return !m_d->isPrimary();
}

quint32 UniqueApplication::instanceId() const
{
    return m_d->instanceId();
}

qint64 UniqueApplication::primaryProcessId() const
{
    return m_d->primaryProcessId();
}

QString UniqueApplication::primaryUserName() const
{
    return m_d->primaryUserName();
}

QString UniqueApplication::currentUserName() const
{
    return PlatformUser::currentUserName();
}

QStringList UniqueApplication::extraHashData() const
{
    return m_d->extraHashData();
}

bool UniqueApplication::sendMessageToPrimary(const QByteArray &message, int timeout)
{
    return m_d->sendMessageToPrimary(message, timeout);
}

void UniqueApplication::abortSafely()
{
    const QString error = m_d->blockError();
    if (!error.isNull())
        qCritical().noquote() << QStringLiteral("UniqueApplication: ") + error;
    m_d.reset();
    std::exit(EXIT_FAILURE);
}

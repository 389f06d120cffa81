#include "stationsettings.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUrl>

#include "common/config/setupconfig.h"
#include "common/singleinstance/platformuser.h"

namespace
{

const QString Section = QStringLiteral("Station");
const QString BrokerKey = QStringLiteral("Broker");
const QString TopicKey = QStringLiteral("Topic");
const QString UserKey = QStringLiteral("User");
const QString PasswordKey = QStringLiteral("Password");
const QString CaFileKey = QStringLiteral("CAFile");
const QString ClientIdKey = QStringLiteral("ClientId");
// MQTT limits a client id to what a two-byte length can say.
constexpr int MaxClientIdBytes = 65535;
constexpr int MaxPort = 65535;

QString entry(const QVariantMap &entries, const QString &key)
{
    return entries.value(key).toString().trimmed();
}

StationSettings refused(StationSettings settings, const QString &error)
{
    settings.error = error;
    return settings;
}

} // namespace

QString StationSettings::brokerText() const
{
    return QStringLiteral("%1://%2:%3")
        .arg(tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"), host)
        .arg(port);
}

QString StationSettings::defaultTopicPrefix()
{
    return QStringLiteral("station");
}

QString StationSettings::defaultClientId(const QString &hostName, const QString &userName)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_.-]"));
    return QStringLiteral("console-%1-%2")
        .arg(QString(hostName).replace(unsafe, QStringLiteral("_")),
             QString(userName).replace(unsafe, QStringLiteral("_")));
}

StationSettings StationSettings::fromEntries(const QVariantMap &entries, const QString &iniFolder,
                                             const QString &hostName, const QString &userName)
{
    StationSettings settings;
    const QString broker = entry(entries, BrokerKey);
    if (broker.isEmpty())
        return settings;
    settings.configured = true;

    const QUrl url(broker, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")) ||
        url.host().isEmpty() || !(url.path().isEmpty() || url.path() == QLatin1String("/")) ||
        url.hasQuery() || url.hasFragment())
        return refused(settings, QStringLiteral("[Station] Broker is not mqtt://host:port or "
                                                "mqtts://host:port"));
    settings.tls = scheme == QLatin1String("mqtts");
    settings.host = url.host();
    settings.port = url.port(settings.tls ? MqttsPort : MqttPort);
    if (settings.port < 1 || settings.port > MaxPort)
        return refused(settings, QStringLiteral("[Station] Broker has no usable port"));

    settings.topicPrefix = entry(entries, TopicKey);
    while (settings.topicPrefix.endsWith(QLatin1Char('/')))
        settings.topicPrefix.chop(1);
    if (settings.topicPrefix.isEmpty())
        settings.topicPrefix = defaultTopicPrefix();
    if (settings.topicPrefix.contains(QLatin1Char('+')) ||
        settings.topicPrefix.contains(QLatin1Char('#')))
        return refused(settings, QStringLiteral("[Station] Topic holds a wildcard (+ or #)"));

    // The entries win over credentials written into the URL.
    settings.user = entries.contains(UserKey) ? entry(entries, UserKey) : url.userName();
    settings.password =
        entries.contains(PasswordKey) ? entries.value(PasswordKey).toString() : url.password();
    if (settings.user.isEmpty() && !settings.password.isEmpty())
        return refused(settings, QStringLiteral("[Station] Password is set without a User"));

    const QString caFile = entry(entries, CaFileKey);
    if (!caFile.isEmpty()) {
        settings.caFile = QDir(iniFolder).absoluteFilePath(caFile);
        if (settings.tls && !QFileInfo(settings.caFile).isReadable())
            return refused(settings, QStringLiteral("[Station] CAFile %1 cannot be read")
                                         .arg(QDir::toNativeSeparators(settings.caFile)));
    }

    settings.clientId = entry(entries, ClientIdKey);
    if (settings.clientId.isEmpty())
        settings.clientId = defaultClientId(hostName, userName);
    if (settings.clientId.toUtf8().size() > MaxClientIdBytes)
        return refused(settings, QStringLiteral("[Station] ClientId is too long"));
    return settings;
}

StationSettings StationSettings::fromConfig()
{
    const SetupConfig *config = SetupConfig::instance();
    QVariantMap entries;
    const QStringList keys = config->keysOf(Section);
    for (const QString &key : keys)
        entries.insert(key, config->value(Section + QLatin1Char('/') + key));
    return fromEntries(entries, QFileInfo(config->iniFilePath()).absolutePath(),
                       QSysInfo::machineHostName(), PlatformUser::currentUserName());
}

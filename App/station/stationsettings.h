#pragma once

#include <QString>
#include <QVariantMap>

// The [Station] section of the INI file: where the station's broker is and how to reach it.
// Without a Broker entry the console has no feed and shows what it always showed.
struct StationSettings {
    static constexpr int MqttPort = 1883;
    static constexpr int MqttsPort = 8883;

    // A Broker entry exists; the feed is wanted, usable or not.
    bool configured = false;
    // Why the entries cannot be used, for the log and the title bar; empty when they can.
    QString error;

    QString host;
    int port = MqttPort;
    bool tls = false;
    QString topicPrefix;
    QString user;
    QString password;
    // The authority that signs the broker's certificate; empty: the system's store.
    QString caFile;
    QString clientId;

    // "mqtt://host:port" or "mqtts://host:port", never with credentials.
    QString brokerText() const;

    // The rules on the section's entries ("Broker", "Topic", ...); a relative CAFile is taken
    // from iniFolder, and the default client id is made from the host and user names given.
    static StationSettings fromEntries(const QVariantMap &entries, const QString &iniFolder,
                                       const QString &hostName, const QString &userName);
    // The section as SetupConfig holds it, on this host for this user.
    static StationSettings fromConfig();

    static QString defaultTopicPrefix();
    // "console-<host>-<user>" with every character a broker may refuse replaced by "_".
    static QString defaultClientId(const QString &hostName, const QString &userName);
};

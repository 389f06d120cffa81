#include "momentexporter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QThread>

#include "momentindex.h"

namespace
{

const QString Separator = QStringLiteral(",");

// RFC 4180: a field with a separator, a quote or a line break is quoted, its quotes doubled.
QString csvField(const QString &text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = false;
    for (const QChar c : text)
        quote = quote || special.contains(c);
    if (!quote)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

// The path in the folder for the name, with " (2)", " (3)" ... before the suffix when taken.
QString freeName(const QDir &folder, const QString &stem, const QString &suffix)
{
    QString name = stem + suffix;
    for (int n = 2; folder.exists(name); ++n)
        name = QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(suffix);
    return name;
}

QString timeText(qint64 timeMs)
{
    return QDateTime::fromMSecsSinceEpoch(timeMs).toString(
        QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

} // namespace

MomentExporter::MomentExporter(const QString &storeFolder, QObject *parent)
    : QObject(parent), m_storeFolder(storeFolder)
{
}

MomentExporter::~MomentExporter()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

bool MomentExporter::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

bool MomentExporter::start(const QVector<qint64> &ids, const QString &targetFolder)
{
    if (isRunning())
        return false;
    delete m_thread;
    m_thread = QThread::create([this, ids, targetFolder] { run(ids, targetFolder); });
    m_thread->setObjectName(QStringLiteral("MomentExporter"));
    m_thread->start(QThread::LowPriority);
    return true;
}

QString MomentExporter::csvHeader()
{
    return QStringList{QStringLiteral("time"), QStringLiteral("camera"), QStringLiteral("name"),
                       QStringLiteral("reason"), QStringLiteral("picture")}
        .join(Separator);
}

QString MomentExporter::csvLine(const Moment &moment, const QString &pictureName)
{
    return QStringList{timeText(moment.timeMs), QString::number(moment.camera),
                       csvField(moment.channelName), csvField(moment.reason), csvField(pictureName)}
        .join(Separator);
}

void MomentExporter::run(const QVector<qint64> &ids, const QString &target)
{
    int pictures = 0;
    QStringList errors;
    QVector<Moment> moments;
    {
        MomentIndex index(m_storeFolder);
        if (!index.open(false)) {
            emit finished(0, 0, QString(), index.errorText());
            return;
        }
        QSqlQuery query(index.database());
        query.setForwardOnly(true);
        for (int first = 0; first < ids.size(); first += RowsPerQuery) {
            QStringList numbers;
            for (qint64 id : ids.mid(first, RowsPerQuery))
                numbers << QString::number(id);
            if (!query.exec(QStringLiteral("SELECT %1 FROM moments WHERE id IN (%2)")
                                .arg(MomentIndex::columns(), numbers.join(Separator)))) {
                emit finished(0, 0, QString(), query.lastError().text());
                return;
            }
            while (query.next())
                moments.append(MomentIndex::rowFrom(query));
        }
    }
    std::sort(moments.begin(), moments.end(),
              [](const Moment &a, const Moment &b) { return a.timeMs < b.timeMs; });

    const QDir folder(target);
    const QDir store(m_storeFolder);
    QString csv = QChar(0xFEFF) + csvHeader() + QStringLiteral("\r\n");
    for (const Moment &m : qAsConst(moments)) {
        QString name;
        if (m.hasPicture() && !m.file.isEmpty()) {
            const QString stem = QDateTime::fromMSecsSinceEpoch(m.timeMs).toString(
                                     QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
                                 QStringLiteral("-c%1").arg(m.camera, 2, 10, QLatin1Char('0'));
            name = freeName(folder, stem, QStringLiteral(".jpg"));
            if (QFile::copy(store.filePath(m.file), folder.filePath(name))) {
                ++pictures;
            } else {
                errors << QStringLiteral("cannot copy %1 to %2")
                              .arg(store.filePath(m.file), folder.filePath(name));
                name.clear();
            }
        }
        csv += csvLine(m, name) + QStringLiteral("\r\n");
    }

    const QString csvPath = folder.filePath(
        freeName(folder,
                 QStringLiteral("moments-%1")
                     .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))),
                 QStringLiteral(".csv")));
    QSaveFile file(csvPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv.toUtf8()) < 0 || !file.commit())
        errors << QStringLiteral("cannot write %1: %2").arg(csvPath, file.errorString());
    QString error = errors.value(0);
    if (errors.size() > 1)
        error += QStringLiteral(" (and %1 more)").arg(errors.size() - 1);
    emit finished(moments.size(), pictures, csvPath, error);
}

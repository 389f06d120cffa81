#include "momentindex.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace
{

QAtomicInteger<quint64> connectionSerial;

// SQLite's result code for a file that is not a database.
const QString NotADatabase = QStringLiteral("26");

const char *const Schema[] = {
    "CREATE TABLE IF NOT EXISTS moments ("
    " id INTEGER PRIMARY KEY,"
    " time_ms INTEGER NOT NULL,"
    " camera INTEGER NOT NULL,"
    " reason TEXT NOT NULL,"
    " name TEXT NOT NULL,"
    " stream INTEGER NOT NULL,"
    " file TEXT NOT NULL,"
    " bytes INTEGER NOT NULL,"
    " width INTEGER NOT NULL,"
    " height INTEGER NOT NULL)",
    "CREATE INDEX IF NOT EXISTS moments_by_time ON moments (time_ms, id)",
    "CREATE INDEX IF NOT EXISTS moments_by_camera ON moments (camera, time_ms, id)",
};

} // namespace

MomentIndex::MomentIndex(const QString &folder)
    : m_folder(folder),
      m_connection(QStringLiteral("moments-%1").arg(connectionSerial.fetchAndAddRelaxed(1)))
{
}

MomentIndex::~MomentIndex()
{
    close();
}

QString MomentIndex::fileName()
{
    return QStringLiteral("index.sqlite");
}

QString MomentIndex::path() const
{
    return pathOf(fileName());
}

QString MomentIndex::pathOf(const QString &file) const
{
    return m_folder + QLatin1Char('/') + file;
}

bool MomentIndex::open(bool writer)
{
    if (isOpen())
        return true;
    m_damaged = false;
    if (!writer && !QFileInfo::exists(path())) {
        m_error = QStringLiteral("%1 does not exist").arg(path());
        return false;
    }
    QString what;
    QSqlError error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(path());
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        if (!db.open()) {
            what = QStringLiteral("open");
            error = db.lastError();
        } else {
            QSqlQuery query(db);
            QStringList statements;
            // A reader only reads: the mode and the table are the writer's to set.
            if (!writer) {
                statements << QStringLiteral("SELECT count(*) FROM sqlite_master");
            } else {
                // NORMAL keeps every commit through a crash of the program; a power cut may
                // lose the last ones, never the file's consistency.
                statements << QStringLiteral("PRAGMA journal_mode=WAL")
                           << QStringLiteral("PRAGMA synchronous=NORMAL");
                for (const char *statement : Schema)
                    statements << QLatin1String(statement);
            }
            for (const QString &statement : qAsConst(statements)) {
                if (!query.exec(statement)) {
                    what = statement;
                    error = query.lastError();
                    break;
                }
            }
        }
    }
    if (what.isEmpty())
        return true;
    // Only now: the connection cannot be removed while a query or handle on it lives.
    m_damaged = error.nativeErrorCode() == NotADatabase;
    m_error = QStringLiteral("%1 (%2): %3").arg(path(), what, error.text());
    close();
    return false;
}

bool MomentIndex::isOpen() const
{
    return QSqlDatabase::contains(m_connection) && database().isOpen();
}

void MomentIndex::close()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlDatabase MomentIndex::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

QString MomentIndex::columns()
{
    return QStringLiteral("id, time_ms, camera, reason, name, stream, file, bytes, width, height");
}

Moment MomentIndex::rowFrom(const QSqlQuery &query)
{
    Moment m;
    m.id = query.value(0).toLongLong();
    m.timeMs = query.value(1).toLongLong();
    m.camera = query.value(2).toInt();
    m.reason = query.value(3).toString();
    m.channelName = query.value(4).toString();
    const int stream = query.value(5).toInt();
    m.stream = stream == Moment::MainStream || stream == Moment::GridStream ? Moment::Stream(stream)
                                                                            : Moment::NoPicture;
    m.file = query.value(6).toString();
    m.bytes = query.value(7).toLongLong();
    m.width = query.value(8).toInt();
    m.height = query.value(9).toInt();
    return m;
}

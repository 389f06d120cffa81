#pragma once

#include <QSqlDatabase>
#include <QString>

#include "moment.h"

class QSqlQuery;

// One connection to the moments' index, an SQLite file in the store's folder kept in WAL mode
// so that readers never wait for the writer and a killed writer leaves the last committed state.
// A connection belongs to the thread that opens it: the writer, the reader and an export each
// have their own.
class MomentIndex
{
public:
    static constexpr int BusyTimeoutMs = 5000;

    explicit MomentIndex(const QString &folder);
    ~MomentIndex();

    static QString fileName();
    QString folder() const { return m_folder; }
    QString path() const;
    QString pathOf(const QString &file) const;

    // Opens the index. A writer creates it and its table when missing; a reader only opens an
    // index that exists. False, with errorText(), when it cannot.
    bool open(bool writer);
    bool isOpen() const;
    void close();
    QSqlDatabase database() const;
    QString errorText() const { return m_error; }
    // True when the last failure was a file that is no SQLite database at all.
    bool isDamaged() const { return m_damaged; }

    // The columns a Moment is read from, in the order rowFrom() expects them.
    static QString columns();
    static Moment rowFrom(const QSqlQuery &query);

private:
    Q_DISABLE_COPY(MomentIndex)

    QString m_folder;
    QString m_connection;
    QString m_error;
    bool m_damaged = false;
};

#pragma once

#include <QObject>
#include <QVector>

#include "moment.h"

class QThread;

// Copies chosen moments out of the store for the operator: their pictures and one CSV file
// (time, camera, channel name, reason, picture file) into a folder, on a thread of its own.
// Nothing in the target folder is overwritten: names already taken get a number.
class MomentExporter : public QObject
{
    Q_OBJECT

public:
    static constexpr int RowsPerQuery = 500;

    explicit MomentExporter(const QString &storeFolder, QObject *parent = nullptr);
    ~MomentExporter() override;

    // False while an export runs.
    bool start(const QVector<qint64> &ids, const QString &targetFolder);
    bool isRunning() const;

    // One CSV line (without its end) for a moment and the name of its exported picture.
    static QString csvLine(const Moment &moment, const QString &pictureName);
    static QString csvHeader();

signals:
    // The error is empty when everything was written.
    void finished(int moments, int pictures, const QString &csvPath, const QString &error);

private:
    Q_DISABLE_COPY(MomentExporter)

    void run(const QVector<qint64> &ids, const QString &target);

    const QString m_storeFolder;
    QThread *m_thread = nullptr;
};

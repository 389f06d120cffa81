#pragma once

#include <QAbstractListModel>
#include <QCache>
#include <QImage>
#include <QSet>
#include <QVector>

#include "moment.h"
#include "momentfilter.h"

class MomentReader;
class QTimer;

// The kept moments a filter selects, newest first, as a list model over the index. It holds
// only the rows' ids; rows and thumbnails are asked of the reader when a view first needs them
// and cached, so that a list of a hundred thousand moments opens and scrolls at once. A refresh
// asks the index again and keeps the view's place: new moments come in at the top, evicted ones
// leave at the bottom.
class MomentListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        TimeRole,
        CameraRole,
        ReasonRole,
        NameRole,
        StreamRole,
        // The picture's file, relative to the store's folder, and its full path.
        FileRole,
        PathRole,
        SizeRole,
        HasPictureRole,
        // False until the row has come from the index.
        LoadedRole,
        // True when the picture's file could not be read.
        BrokenRole,
    };

    static constexpr int PageSize = 64;
    static constexpr int MaxPendingPages = 4;
    static constexpr int MaxPendingThumbnails = 24;
    static constexpr int MaxCachedRows = 4096;
    static constexpr int MaxCachedThumbnailKb = 16 * 1024;
    static constexpr int RefreshMs = 300;

    // The change from one list of ids to the next: rows new at the top and rows gone from the
    // bottom, or a reset when the lists differ otherwise.
    struct Change {
        int inserted = 0;
        int removed = 0;
        bool reset = false;
    };
    static Change changeBetween(const QVector<qint64> &before, const QVector<qint64> &after);

    explicit MomentListModel(MomentReader *reader, QObject *parent = nullptr);

    // Asks for the moments the filter selects; the rows change when the answer comes.
    void setFilter(const MomentFilter &filter);
    MomentFilter filter() const { return m_filter; }
    // Asks the index again now, or once within RefreshMs however often it is called.
    void refresh();
    void scheduleRefresh();
    // Whether a list question has been answered since the last filter change.
    bool isReady() const { return m_ready; }

    // Complete once isReady().
    QVector<qint64> ids() const { return m_ids; }
    qint64 idAt(int row) const;
    int rowOf(qint64 id) const;
    // The row when it is loaded.
    bool momentAt(int row, Moment *moment) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    static QString timeText(qint64 timeMs);

signals:
    // After every answer to a list question.
    void ready();

private:
    Q_DISABLE_COPY(MomentListModel)

    void askIds();
    void takeIds(quint64 client, quint64 serial, int offset, const QVector<qint64> &ids, int total,
                 bool complete);
    void applyRefresh(const QVector<qint64> &ids);
    void takeRows(quint64 client, const QVector<qint64> &asked, const QVector<Moment> &rows);
    void takeThumbnail(quint64 client, qint64 id, const QImage &image, bool dropped);
    void askPageOf(int row) const;
    QVariant thumbnailOf(const Moment &moment) const;
    void announceData() const;

    MomentReader *m_reader;
    const quint64 m_client;
    quint64 m_serial = 0;
    MomentFilter m_filter;
    bool m_resetOnAnswer = true;
    bool m_ready = false;
    // The ids known so far, newest first; a list still coming in has more rows (m_rowCount)
    // than known ids.
    QVector<qint64> m_ids;
    int m_rowCount = 0;
    // A refreshed list, gathered until it is whole.
    QVector<qint64> m_incoming;
    QTimer *m_refreshTimer = nullptr;
    QTimer *m_announceTimer = nullptr;
    // Filled by the const data() as a view asks for rows.
    mutable QCache<qint64, Moment> m_rows;
    mutable QCache<qint64, QImage> m_thumbnails;
    mutable QSet<qint64> m_pendingRows;
    mutable int m_pendingPages = 0;
    mutable QSet<qint64> m_pendingThumbnails;
    QSet<qint64> m_brokenThumbnails;
};

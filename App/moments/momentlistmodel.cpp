#include "momentlistmodel.h"

#include <QDateTime>
#include <QTimer>

#include "momentreader.h"

MomentListModel::MomentListModel(MomentReader *reader, QObject *parent)
    : QAbstractListModel(parent), m_reader(reader), m_client(MomentReader::newClient()),
      m_rows(MaxCachedRows), m_thumbnails(MaxCachedThumbnailKb)
{
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(RefreshMs);
    connect(m_refreshTimer, &QTimer::timeout, this, &MomentListModel::refresh);
    // One repaint of the view for any number of rows and thumbnails that came in together.
    m_announceTimer = new QTimer(this);
    m_announceTimer->setSingleShot(true);
    m_announceTimer->setInterval(0);
    connect(m_announceTimer, &QTimer::timeout, this, [this] {
        if (m_rowCount > 0)
            emit dataChanged(index(0), index(m_rowCount - 1));
    });
    connect(reader, &MomentReader::idsReady, this, &MomentListModel::takeIds);
    connect(reader, &MomentReader::rowsReady, this, &MomentListModel::takeRows);
    connect(reader, &MomentReader::thumbnailReady, this, &MomentListModel::takeThumbnail);
}

MomentListModel::Change MomentListModel::changeBetween(const QVector<qint64> &before,
                                                       const QVector<qint64> &after)
{
    Change change;
    if (before.isEmpty()) {
        change.inserted = after.size();
        return change;
    }
    if (after.isEmpty()) {
        change.removed = before.size();
        return change;
    }
    const int top = after.indexOf(before.first());
    const int kept = after.size() - top;
    if (top < 0 || kept > before.size() ||
        !std::equal(after.cbegin() + top, after.cend(), before.cbegin())) {
        change.reset = true;
        return change;
    }
    change.inserted = top;
    change.removed = before.size() - kept;
    return change;
}

void MomentListModel::setFilter(const MomentFilter &filter)
{
    m_filter = filter;
    m_resetOnAnswer = true;
    m_ready = false;
    askIds();
}

void MomentListModel::refresh()
{
    m_refreshTimer->stop();
    askIds();
}

void MomentListModel::scheduleRefresh()
{
    if (!m_refreshTimer->isActive())
        m_refreshTimer->start();
}

void MomentListModel::askIds()
{
    m_reader->requestIds(m_client, ++m_serial, m_filter);
}

void MomentListModel::takeIds(quint64 client, quint64 serial, int offset,
                              const QVector<qint64> &ids, int total, bool complete)
{
    // An answer to an older question is already out of date.
    if (client != m_client || serial != m_serial)
        return;
    if (!m_resetOnAnswer) {
        m_incoming = offset == 0 ? ids : m_incoming + ids;
        if (complete) {
            applyRefresh(m_incoming);
            m_incoming.clear();
            m_ready = true;
            emit ready();
        }
        return;
    }
    if (offset == 0) {
        beginResetModel();
        m_ids = ids;
        m_rowCount = total;
        endResetModel();
        // The first rows are the ones a view shows first: asked for before it paints.
        if (!m_ids.isEmpty())
            askPageOf(0);
    } else {
        m_ids += ids;
        announceData();
    }
    if (!complete)
        return;
    m_resetOnAnswer = false;
    if (m_ids.size() != m_rowCount) {
        beginResetModel();
        m_rowCount = m_ids.size();
        endResetModel();
    }
    m_ready = true;
    emit ready();
}

void MomentListModel::applyRefresh(const QVector<qint64> &ids)
{
    const Change change = changeBetween(m_ids, ids);
    if (change.reset) {
        beginResetModel();
        m_ids = ids;
        m_rowCount = ids.size();
        endResetModel();
        return;
    }
    if (change.removed > 0) {
        const int first = m_ids.size() - change.removed;
        beginRemoveRows(QModelIndex(), first, m_ids.size() - 1);
        m_ids.resize(first);
        m_rowCount = first;
        endRemoveRows();
    }
    if (change.inserted > 0) {
        beginInsertRows(QModelIndex(), 0, change.inserted - 1);
        m_ids = ids;
        m_rowCount = ids.size();
        endInsertRows();
    }
}

void MomentListModel::takeRows(quint64 client, const QVector<qint64> &asked,
                               const QVector<Moment> &rows)
{
    if (client != m_client)
        return;
    for (qint64 id : asked)
        m_pendingRows.remove(id);
    m_pendingPages = qMax(0, m_pendingPages - 1);
    for (const Moment &m : rows)
        m_rows.insert(m.id, new Moment(m));
    announceData();
}

void MomentListModel::takeThumbnail(quint64 client, qint64 id, const QImage &image, bool dropped)
{
    if (client != m_client)
        return;
    m_pendingThumbnails.remove(id);
    if (dropped)
        return;
    if (image.isNull())
        m_brokenThumbnails.insert(id);
    else
        m_thumbnails.insert(id, new QImage(image), qMax<qsizetype>(1, image.sizeInBytes() / 1024));
    announceData();
}

void MomentListModel::announceData() const
{
    if (!m_announceTimer->isActive())
        m_announceTimer->start();
}

qint64 MomentListModel::idAt(int row) const
{
    return row >= 0 && row < m_ids.size() ? m_ids.at(row) : 0;
}

int MomentListModel::rowOf(qint64 id) const
{
    return m_ids.indexOf(id);
}

bool MomentListModel::momentAt(int row, Moment *moment) const
{
    const Moment *cached = m_rows.object(idAt(row));
    if (!cached) {
        askPageOf(row);
        return false;
    }
    *moment = *cached;
    return true;
}

int MomentListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

void MomentListModel::askPageOf(int row) const
{
    const qint64 id = idAt(row);
    if (id == 0 || m_pendingRows.contains(id) || m_pendingPages >= MaxPendingPages)
        return;
    const int page = row / PageSize;
    QVector<qint64> missing;
    const int end = qMin(m_ids.size(), (page + 1) * PageSize);
    for (int r = page * PageSize; r < end; ++r) {
        const qint64 other = m_ids.at(r);
        if (!m_rows.contains(other) && !m_pendingRows.contains(other))
            missing.append(other);
    }
    for (qint64 other : qAsConst(missing))
        m_pendingRows.insert(other);
    ++m_pendingPages;
    m_reader->requestRows(m_client, missing);
}

QVariant MomentListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rowCount)
        return QVariant();
    // A row whose id is still on its way is not loaded yet.
    if (index.row() >= m_ids.size())
        return role == LoadedRole ? QVariant(false) : QVariant();
    const qint64 id = m_ids.at(index.row());
    if (role == IdRole)
        return id;
    const Moment *m = m_rows.object(id);
    if (!m) {
        askPageOf(index.row());
        return role == LoadedRole ? QVariant(false) : QVariant();
    }
    switch (role) {
    case Qt::DisplayRole:
        return QStringLiteral("%1  C%2  %3")
            .arg(timeText(m->timeMs))
            .arg(m->camera, 2, 10, QLatin1Char('0'))
            .arg(m->reason);
    case Qt::ToolTipRole:
        return m->channelName.isEmpty() ? m->reason
                                        : m->channelName + QStringLiteral(": ") + m->reason;
    case Qt::DecorationRole:
        return thumbnailOf(*m);
    case TimeRole:
        return m->timeMs;
    case CameraRole:
        return m->camera;
    case ReasonRole:
        return m->reason;
    case NameRole:
        return m->channelName;
    case StreamRole:
        return int(m->stream);
    case FileRole:
        return m->file;
    case PathRole:
        return m->file.isEmpty() ? QString() : m_reader->folder() + QLatin1Char('/') + m->file;
    case SizeRole:
        return QSize(m->width, m->height);
    case HasPictureRole:
        return m->hasPicture() && !m->file.isEmpty();
    case LoadedRole:
        return true;
    case BrokenRole:
        return m_brokenThumbnails.contains(id);
    default:
        return QVariant();
    }
}

QVariant MomentListModel::thumbnailOf(const Moment &moment) const
{
    if (!moment.hasPicture() || moment.file.isEmpty() || m_brokenThumbnails.contains(moment.id))
        return QVariant();
    if (const QImage *image = m_thumbnails.object(moment.id))
        return *image;
    if (!m_pendingThumbnails.contains(moment.id) &&
        m_pendingThumbnails.size() < MaxPendingThumbnails) {
        m_pendingThumbnails.insert(moment.id);
        m_reader->requestThumbnail(m_client, moment.id, moment.file);
    }
    return QVariant();
}

QHash<int, QByteArray> MomentListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(IdRole, "momentId");
    names.insert(TimeRole, "time");
    names.insert(CameraRole, "camera");
    names.insert(ReasonRole, "reason");
    names.insert(NameRole, "name");
    names.insert(PathRole, "path");
    names.insert(HasPictureRole, "hasPicture");
    return names;
}

QString MomentListModel::timeText(qint64 timeMs)
{
    return QDateTime::fromMSecsSinceEpoch(timeMs).toString(
        QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

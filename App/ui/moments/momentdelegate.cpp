#include "momentdelegate.h"

#include <QApplication>
#include <QPainter>

#include "moments/momentlistmodel.h"

namespace
{

// Secondary text: the item's text colour, toned down, so that it follows every theme.
constexpr qreal MutedAlpha = 0.6;
constexpr int TimeBandHeight = 18;
// The strip's time sits on the picture itself: light on a dark band, whatever the theme.
const QColor TimeBand(0, 0, 0, 150);
const QColor TimeBandText(Qt::white);

QColor muted(const QColor &color)
{
    QColor c = color;
    c.setAlphaF(MutedAlpha);
    return c;
}

} // namespace

MomentDelegate::MomentDelegate(Form form, QObject *parent)
    : QStyledItemDelegate(parent), m_form(form)
{
}

QSize MomentDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    Q_UNUSED(option)
    Q_UNUSED(index)
    const int height = ThumbnailHeight + 2 * Margin;
    return m_form == Form::List ? QSize(ListWidth, height)
                                : QSize(ThumbnailWidth + 2 * Margin, height);
}

QRect MomentDelegate::thumbnailRect(const QRect &item) const
{
    return QRect(item.left() + Margin, item.top() + Margin, ThumbnailWidth, ThumbnailHeight);
}

void MomentDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    QStyleOptionViewItem panel = option;
    initStyleOption(&panel, index);
    panel.text.clear();
    panel.icon = QIcon();
    panel.features &= ~QStyleOptionViewItem::HasDecoration;
    // The style sheet's item rule paints the background, hover and selection.
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &panel, painter, widget);

    const QRect well = thumbnailRect(option.rect);
    paintThumbnail(painter, option, index, well);

    const bool selected = option.state & QStyle::State_Selected;
    const QColor text = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const qint64 timeMs = index.data(MomentListModel::TimeRole).toLongLong();
    const bool loaded = index.data(MomentListModel::LoadedRole).toBool();
    painter->save();
    if (m_form == Form::Compact) {
        if (loaded) {
            const QRect band(well.left(), well.bottom() - TimeBandHeight + 1, well.width(),
                             TimeBandHeight);
            painter->fillRect(band, TimeBand);
            painter->setPen(TimeBandText);
            painter->drawText(band, Qt::AlignCenter, MomentListModel::timeText(timeMs).mid(11, 8));
        }
        painter->restore();
        return;
    }
    const QRect area =
        option.rect.adjusted(Margin + ThumbnailWidth + TextGap, Margin, -Margin, -Margin);
    const QFontMetrics metrics(option.font);
    const int line = metrics.lineSpacing();
    QRect row(area.left(), area.top(), area.width(), line);
    if (!loaded) {
        painter->setPen(muted(text));
        painter->drawText(row, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("…"));
        painter->restore();
        return;
    }
    QFont bold = option.font;
    bold.setBold(true);
    painter->setFont(bold);
    painter->setPen(text);
    painter->drawText(row, Qt::AlignLeft | Qt::AlignVCenter, MomentListModel::timeText(timeMs));
    painter->setFont(option.font);
    row.translate(0, line + Margin / 2);
    const QString name = index.data(MomentListModel::NameRole).toString();
    QString camera = QStringLiteral("C%1").arg(index.data(MomentListModel::CameraRole).toInt(), 2,
                                               10, QLatin1Char('0'));
    if (!name.isEmpty())
        camera += QStringLiteral("  ") + name;
    painter->setPen(muted(text));
    painter->drawText(row, Qt::AlignLeft | Qt::AlignVCenter,
                      metrics.elidedText(camera, Qt::ElideRight, row.width()));
    row.translate(0, line + Margin / 2);
    row.setBottom(area.bottom());
    painter->setPen(text);
    painter->drawText(row, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                      index.data(MomentListModel::ReasonRole).toString());
    painter->restore();
}

void MomentDelegate::paintThumbnail(QPainter *painter, const QStyleOptionViewItem &option,
                                    const QModelIndex &index, const QRect &well) const
{
    painter->fillRect(well, option.palette.color(QPalette::AlternateBase));
    const QImage image = index.data(Qt::DecorationRole).value<QImage>();
    if (!image.isNull()) {
        QRect target(QPoint(), image.size().scaled(well.size(), Qt::KeepAspectRatio));
        target.moveCenter(well.center());
        painter->drawImage(target, image);
        return;
    }
    if (!index.data(MomentListModel::LoadedRole).toBool())
        return;
    QString note;
    if (!index.data(MomentListModel::HasPictureRole).toBool())
        note = tr("无画面");
    else if (index.data(MomentListModel::BrokenRole).toBool())
        note = tr("无法读取");
    else
        note = QStringLiteral("…");
    painter->save();
    painter->setPen(muted(option.palette.color(QPalette::Text)));
    painter->drawText(well, Qt::AlignCenter, note);
    painter->restore();
}

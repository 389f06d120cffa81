#pragma once

#include <QStyledItemDelegate>

#include "moments/momentreader.h"

// Paints a moment of a MomentListModel: its thumbnail (or a well that says there is none, or
// that it is on its way) and, in the list, its time, camera and reason beside it; in the compact
// form of a camera page's strip, the time over the thumbnail's foot. Every row is one size, so
// that the view lays out any number of them without asking each.
class MomentDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int ThumbnailWidth = MomentReader::ThumbnailWidth;
    static constexpr int ThumbnailHeight = MomentReader::ThumbnailHeight;
    static constexpr int Margin = 6;
    static constexpr int TextGap = 12;
    static constexpr int ListWidth = 480;

    enum class Form { List, Compact };

    explicit MomentDelegate(Form form, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Where the thumbnail goes in an item's rectangle.
    QRect thumbnailRect(const QRect &item) const;

private:
    void paintThumbnail(QPainter *painter, const QStyleOptionViewItem &option,
                        const QModelIndex &index, const QRect &well) const;

    Form m_form;
};

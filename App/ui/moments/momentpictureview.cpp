#include "momentpictureview.h"

#include <QPainter>
#include <QStyleOption>

MomentPictureView::MomentPictureView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MomentsPicture"));
    setAttribute(Qt::WA_StyledBackground);
}

void MomentPictureView::setPicture(const QImage &image, const QString &note)
{
    m_image = image;
    m_note = note;
    m_scaled = QImage();
    update();
}

QRect MomentPictureView::pictureRect() const
{
    if (m_image.isNull())
        return QRect();
    QRect target(QPoint(), m_image.size().scaled(contentsRect().size(), Qt::KeepAspectRatio));
    target.moveCenter(contentsRect().center());
    return target;
}

void MomentPictureView::resizeEvent(QResizeEvent *event)
{
    m_scaled = QImage();
    QWidget::resizeEvent(event);
}

void MomentPictureView::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    if (m_image.isNull()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(contentsRect(), Qt::AlignCenter, m_note);
        return;
    }
    const QRect target = pictureRect();
    if (m_scaled.size() != target.size())
        m_scaled = m_image.scaled(target.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    painter.drawImage(target.topLeft(), m_scaled);
}

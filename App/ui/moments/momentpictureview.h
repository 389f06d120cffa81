#pragma once

#include <QImage>
#include <QWidget>

// One moment full size: its picture scaled to the view with its shape kept, on the theme's
// camera well, or the words for a moment without one or one still loading.
class MomentPictureView : public QWidget
{
    Q_OBJECT

public:
    explicit MomentPictureView(QWidget *parent = nullptr);

    // A null image with a note: the note in place of the picture.
    void setPicture(const QImage &image, const QString &note = QString());
    QImage picture() const { return m_image; }
    // Where the picture is painted, in the view's coordinates.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    Q_DISABLE_COPY(MomentPictureView)

    QImage m_image;
    QString m_note;
    // Scaled once per size, not once per paint.
    QImage m_scaled;
};

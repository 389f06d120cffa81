#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

// The frame the arrow keys move over the camera wall: painted on top of one tile, following its
// size, letting the mouse through to it.
class WallFocusFrame : public QWidget
{
    Q_OBJECT

public:
    static constexpr int LineWidth = 3;
    static const QColor LineColor;

    explicit WallFocusFrame(QWidget *parent = nullptr);

    // Frames the tile, or hides when there is none.
    void setTile(QWidget *tile);
    QWidget *tile() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY(WallFocusFrame)

    QPointer<QWidget> m_tile;
};

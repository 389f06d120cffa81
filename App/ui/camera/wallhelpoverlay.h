#pragma once

#include <QWidget>

class QLabel;

// The list of the camera wall's keys and mouse moves, laid over the whole wall. A click on it
// closes it too.
class WallHelpOverlay : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ShadeAlpha = 200;

    // Covers the parent and follows its size.
    explicit WallHelpOverlay(QWidget *parent);

    QString text() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY(WallHelpOverlay)

    QLabel *m_label = nullptr;
};

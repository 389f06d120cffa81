#pragma once

#include <QLabel>
#include <QTimer>

// A short notice at the bottom of the camera wall that goes away by itself.
class WallNotice : public QLabel
{
    Q_OBJECT

public:
    static constexpr int ShownMs = 5000;
    static constexpr int BottomGap = 12;
    static constexpr int Padding = 8;

    explicit WallNotice(QWidget *parent);

    void showNotice(const QString &text);

private:
    Q_DISABLE_COPY(WallNotice)

    QTimer m_timer;
};

#include "wallnotice.h"

WallNotice::WallNotice(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("WallNotice"));
    // Its own colours: it sits on pictures of any brightness, in any theme.
    setStyleSheet(QStringLiteral("QLabel#WallNotice { color: white; background: rgba(0, 0, 0, "
                                 "180); padding: %1px; border-radius: 4px; }")
                      .arg(Padding));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setSingleShot(true);
    m_timer.setInterval(ShownMs);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::hide);
    hide();
}

void WallNotice::showNotice(const QString &text)
{
    setText(text);
    adjustSize();
    const QWidget *wall = parentWidget();
    const int width = qMin(sizeHint().width(), wall->width());
    resize(width, sizeHint().height());
    move((wall->width() - width) / 2, wall->height() - height() - BottomGap);
    show();
    raise();
    m_timer.start();
}

#include "fancytitlebar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>
#include <QVariant>

#include "framelessrules.h"

FancyTitleBar::FancyTitleBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FancyTitleBar"));

    m_titleLabel = new QLabel(this);
    m_titleLabel->setObjectName(QStringLiteral("FancyTitleBarTitleLabel"));
    // A long title must not widen the window: the caption takes whatever room is left.
    m_titleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    m_minimizeButton = createButton("FancyTitleBarMinimizeButton");
    m_minimizeButton->setToolTip(tr("Minimize"));
    m_maximizeButton = createButton("FancyTitleBarMaximizeButton");
    m_closeButton = createButton("FancyTitleBarCloseButton");
    m_closeButton->setToolTip(tr("Close"));
    setMaximized(false);
    updateGlyph(m_minimizeButton);
    updateGlyph(m_closeButton);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_titleLabel, 1);
    layout->addWidget(m_minimizeButton);
    layout->addWidget(m_maximizeButton);
    layout->addWidget(m_closeButton);

    applyTitleBarHeight();

    connect(m_minimizeButton, &QToolButton::clicked, this, [this] { window()->showMinimized(); });
    connect(m_maximizeButton, &QToolButton::clicked, this, &FancyTitleBar::toggleMaximized);
    connect(m_closeButton, &QToolButton::clicked, this, [this] { window()->close(); });
}

QToolButton *FancyTitleBar::createButton(const char *objectName)
{
    auto *button = new QToolButton(this);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(GlyphSide, GlyphSide));
    button->installEventFilter(this);
    return button;
}

QPixmap FancyTitleBar::glyphPixmap(Glyph glyph, const QColor &color, int side,
                                   qreal devicePixelRatio)
{
    if (side <= 0)
        return QPixmap();
    const qreal dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QPixmap pixmap(qRound(side * dpr), qRound(side * dpr));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 1.2));
    painter.setBrush(Qt::NoBrush);
    const qreal s = side;
    const qreal m = 1.5; // keeps the strokes inside the square
    switch (glyph) {
    case Glyph::Minimize:
        painter.drawLine(QPointF(m, s / 2), QPointF(s - m, s / 2));
        break;
    case Glyph::Maximize:
        painter.drawRect(QRectF(m, m, s - 2 * m, s - 2 * m));
        break;
    case Glyph::Restore: {
        const qreal back = s / 4;
        painter.drawRect(QRectF(m, m + back, s - 2 * m - back, s - 2 * m - back));
        painter.drawPolyline(
            QPolygonF({QPointF(m + back, m + back), QPointF(m + back, m), QPointF(s - m, m),
                       QPointF(s - m, s - m - back), QPointF(s - m - back, s - m - back)}));
        break;
    }
    case Glyph::Close:
        painter.drawLine(QPointF(m, m), QPointF(s - m, s - m));
        painter.drawLine(QPointF(s - m, m), QPointF(m, s - m));
        break;
    }
    return pixmap;
}

void FancyTitleBar::updateGlyph(QToolButton *button)
{
    Glyph glyph = Glyph::Close;
    if (button == m_minimizeButton)
        glyph = Glyph::Minimize;
    else if (button == m_maximizeButton)
        glyph = m_maximized ? Glyph::Restore : Glyph::Maximize;
    const QColor color = button->palette().color(QPalette::ButtonText);
    const qreal dpr = button->devicePixelRatioF();
    // Theme changes come back to the same few colours. The same pixmap for the same drawing lets
    // the icon find the images it derived from it again; a new pixmap on every change would pile
    // new ones up in the pixmap cache of a console that runs for weeks.
    const QString key =
        QStringLiteral("FancyTitleBar/%1/%2/%3").arg(int(glyph)).arg(color.rgba()).arg(dpr);
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = glyphPixmap(glyph, color, GlyphSide, dpr);
        QPixmapCache::insert(key, pixmap);
    }
    button->setIcon(pixmap);
}

bool FancyTitleBar::eventFilter(QObject *watched, QEvent *event)
{
    // A new theme brings a new text colour for the buttons: redraw their glyphs in it.
    if ((event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) &&
        (watched == m_minimizeButton || watched == m_maximizeButton || watched == m_closeButton))
        updateGlyph(static_cast<QToolButton *>(watched));
    return QWidget::eventFilter(watched, event);
}

void FancyTitleBar::hideMaximizeButton()
{
    m_maximizeHidden = true;
    m_maximizeButton->hide();
}

void FancyTitleBar::hideMinimizeButton()
{
    m_minimizeButton->hide();
}

bool FancyTitleBar::isMaximizeButtonHidden() const
{
    return m_maximizeHidden;
}

void FancyTitleBar::setTitleBarHeight(int height)
{
    const int h = qMax(1, height);
    if (h == m_titleBarHeight)
        return;
    m_titleBarHeight = h;
    applyTitleBarHeight();
}

void FancyTitleBar::applyTitleBarHeight()
{
    setFixedHeight(m_titleBarHeight);
    for (QToolButton *button : {m_minimizeButton, m_maximizeButton, m_closeButton})
        button->setFixedSize(ButtonWidth, m_titleBarHeight);
}

int FancyTitleBar::titleBarHeight() const
{
    return m_titleBarHeight;
}

bool FancyTitleBar::canMaximize() const
{
    const QWidget *w = window();
    return !m_maximizeHidden && !Frameless::isFixedSize(w->minimumSize(), w->maximumSize());
}

void FancyTitleBar::toggleMaximized()
{
    QWidget *w = window();
    if (w->isMaximized())
        w->showNormal();
    else
        w->showMaximized();
}

void FancyTitleBar::setTitle(const QString &title)
{
    m_titleLabel->setText(title);
}

void FancyTitleBar::setMaximized(bool maximized)
{
    m_maximized = maximized;
    updateGlyph(m_maximizeButton);
    m_maximizeButton->setToolTip(maximized ? tr("Restore") : tr("Maximize"));
    // Style sheets may draw the two states apart through this property (QWidget already has a
    // read-only "maximized" of its own).
    const QVariant current = m_maximizeButton->property("windowMaximized");
    if (current.isValid() && current.toBool() == maximized)
        return;
    m_maximizeButton->setProperty("windowMaximized", maximized);
    m_maximizeButton->style()->unpolish(m_maximizeButton);
    m_maximizeButton->style()->polish(m_maximizeButton);
}

void FancyTitleBar::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

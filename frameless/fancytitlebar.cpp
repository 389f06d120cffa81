#include "fancytitlebar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>
#include <QVariant>

#include "framelessrules.h"

FancyTitleBar::FancyTitleBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("FancyTitleBar"));

    m_titleLabel = new QLabel(this);
    m_titleLabel->setObjectName(QStringLiteral("FancyTitleBarTitleLabel"));
    // A long title must not widen the window: the caption takes whatever room is left.
    m_titleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    m_minimizeButton = createButton("FancyTitleBarMinimizeButton");
    m_minimizeButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarMinButton));
    m_minimizeButton->setToolTip(tr("Minimize"));
    m_maximizeButton = createButton("FancyTitleBarMaximizeButton");
    m_closeButton = createButton("FancyTitleBarCloseButton");
    m_closeButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_closeButton->setToolTip(tr("Close"));
    setMaximized(false);

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
    return button;
}

void FancyTitleBar::hideMaximizeButton()
{
    m_maximizeHidden = true;
    m_maximizeButton->hide();
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
    m_maximizeButton->setIcon(style()->standardIcon(maximized ? QStyle::SP_TitleBarNormalButton
                                                              : QStyle::SP_TitleBarMaxButton));
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

#include "fancydialog.h"

#include <QDebug>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QVBoxLayout>

#include "framelesshelper.h"

FancyDialog::FancyDialog(QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags | Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    m_fancyBar = new FancyBar(this);

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_fancyBar);

    new FramelessHelper(this, FramelessHelper::edgeHitTest(this, ResizeBand));
}

FancyDialog::~FancyDialog() = default;

FancyBar *FancyDialog::fancyBar() const
{
    return m_fancyBar;
}

void FancyDialog::setCentralWidget(QWidget *widget)
{
    if (widget == m_centralWidget)
        return;
    if (m_centralWidget) {
        m_layout->removeWidget(m_centralWidget);
        delete m_centralWidget;
    }
    m_centralWidget = widget;
    if (widget)
        m_layout->addWidget(widget, 1);
}

QWidget *FancyDialog::centralWidget() const
{
    return m_centralWidget;
}

void FancyDialog::setBackgroundImage(const QString &path)
{
    if (path == m_backgroundPath)
        return;
    m_backgroundPath = path;
    m_background = QPixmap();
    if (!path.isEmpty() && !m_background.load(path))
        qWarning() << "FancyDialog: cannot read background image" << path;
    update();
}

void FancyDialog::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    if (m_background.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_background);
}

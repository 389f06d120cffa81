#include "funcbuttonwidget.h"

#include <QToolButton>
#include <QVBoxLayout>

#include "ui/common/iconhelper.h"

namespace
{

const QColor GlyphColor(0xFF, 0xFF, 0xFF);

QToolButton *createButton(int glyph, const QString &objectName, const QString &text)
{
    const QPixmap pixmap = IconHelper::instance()->glyphPixmap(
        GlyphColor, QChar(glyph), FuncButtonWidget::GlyphPixelSize, FuncButtonWidget::GlyphSide,
        FuncButtonWidget::GlyphSide, Qt::AlignCenter);
    auto *button = new QToolButton;
    button->setIcon(QIcon(pixmap));
    button->setIconSize(QSize(FuncButtonWidget::IconSide, FuncButtonWidget::IconSide));
    button->setObjectName(objectName);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    return button;
}

} // namespace

FuncButtonWidget::FuncButtonWidget(QWidget *parent) : QWidget(parent)
{
    m_layout = new QVBoxLayout;
    const Buttons buttons = addButtons(m_layout);
    m_setupButton = buttons.setup;
    m_pauseButton = buttons.pause;
    m_waitButton = buttons.wait;
    setLayout(m_layout);
}

FuncButtonWidget::Buttons FuncButtonWidget::addButtons(QVBoxLayout *layout)
{
    const Buttons buttons{createButton(0xF01D, QStringLiteral("SidePanelSetupButton"), tr("启动")),
                          createButton(0xF011, QStringLiteral("SidePanelPauseButton"), tr("暂停")),
                          createButton(0xF01E, QStringLiteral("SidePanelWaitButton"), tr("等待"))};
    layout->setAlignment(Qt::AlignCenter);
    layout->addWidget(buttons.setup);
    layout->addWidget(buttons.pause);
    layout->addWidget(buttons.wait);
    return buttons;
}

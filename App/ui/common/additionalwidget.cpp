#include "ui/common/additionalwidget.h"

#include <QHBoxLayout>
#include <QToolButton>

#include "common/config/setupconfig.h"
#include "ui/common/headbutton.h"
#include "ui/common/iconhelper.h"

namespace
{

const QColor GlyphColor(0xFE, 0xFE, 0xFE);
constexpr int ButtonSpacing = 1;

} // namespace

AdditionalWidget::AdditionalWidget(QWidget *parent) : QWidget(parent)
{
    m_buttonLayout = new QHBoxLayout;
    m_logButton = createToolButton(tr("日志"), LogGlyph);
    m_systemButton = createToolButton(tr("系统"), SystemGlyph);
    m_loginButton = createToolButton(tr("登录"), LoginGlyph);

    m_headButton = new HeadButton;
    m_headButton->setObjectName(QStringLiteral("AdditionalWidgetPushButton"));
    m_headButton->setIconSize(QSize(HeadIconSide, HeadIconSide));
    m_headButton->setFixedSize(HeadSide, HeadSide);
    m_headButton->setIcon(QIcon(SetupConfig::instance()->avatarPath()));
    // The avatar answers the pointer only (its card drops on hover); a key press on it would do
    // nothing.
    m_headButton->setFocusPolicy(Qt::NoFocus);

    m_buttonLayout->addWidget(m_logButton);
    m_buttonLayout->addWidget(m_systemButton);
    m_buttonLayout->addWidget(m_loginButton);
    m_buttonLayout->addWidget(m_headButton);
    m_buttonLayout->setSpacing(ButtonSpacing);
    // Three 50 px buttons and the avatar fill the 50 px high strip; the style's margins would
    // cut them off.
    m_buttonLayout->setContentsMargins(0, 0, 0, 0);
    setLayout(m_buttonLayout);
    setObjectName(QStringLiteral("AdditionalWidget"));

    connect(m_logButton, &QToolButton::clicked, this, &AdditionalWidget::logInfo);
    connect(m_loginButton, &QToolButton::clicked, this, &AdditionalWidget::loginInfo);
    connect(m_systemButton, &QToolButton::clicked, this, &AdditionalWidget::menuInfo);
    connect(m_headButton, &HeadButton::signalEnter, this, &AdditionalWidget::enterHead);
    connect(m_headButton, &HeadButton::signalLeave, this, &AdditionalWidget::leaveHead);
}

QToolButton *AdditionalWidget::createToolButton(const QString &text, int glyph)
{
    auto *button = new QToolButton;
    button->setObjectName(QStringLiteral("AdditionalWidgetToolButton"));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setText(text);
    button->setFixedSize(ButtonSide, ButtonSide);
    button->setIcon(IconHelper::instance()->glyphPixmap(GlyphColor, QChar(glyph), GlyphPixelSize,
                                                        GlyphSide, GlyphSide, Qt::AlignCenter));
    return button;
}

bool AdditionalWidget::isHeadUnderMouse() const
{
    return m_headButton->underMouse();
}

QRect AdditionalWidget::headButtonGeometry() const
{
    return m_headButton->geometry();
}

QWidget *AdditionalWidget::logButton() const
{
    return m_logButton;
}

void AdditionalWidget::disableButtons()
{
    m_logButton->setEnabled(false);
    m_systemButton->setEnabled(false);
}

void AdditionalWidget::enableButtons()
{
    m_logButton->setEnabled(true);
    m_systemButton->setEnabled(true);
}

#include "ui/common/cmessagebox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

struct TypeLook {
    const char *title;
    const char *picture;
};

const TypeLook TypeLooks[] = {
    {QT_TRANSLATE_NOOP("CMessageBox", "提示"), ":/res/image/messagebox/info.png"},
    {QT_TRANSLATE_NOOP("CMessageBox", "警告"), ":/res/image/messagebox/warning.png"},
    {QT_TRANSLATE_NOOP("CMessageBox", "错误"), ":/res/image/messagebox/error.png"},
};

// Indents the first line of the message.
const QString TextIndent = QStringLiteral("       ");

} // namespace

CMessageBox::CMessageBox(QWidget *parent) : FancyDialog(parent)
{
    m_centralWidget = new QWidget;
    m_contentLayout = new QVBoxLayout(m_centralWidget);

    m_messageLayout = new QHBoxLayout;
    m_iconLabel = new QLabel;
    m_iconLabel->setPixmap(QPixmap(QString::fromUtf8(TypeLooks[Information].picture)));
    m_iconLabel->setFixedSize(IconSide, IconSide);
    m_textLabel = new QLabel;
    m_textLabel->setObjectName(QStringLiteral("MessageBoxTextLabel"));
    m_textLabel->setText(tr("消息框"));
    m_messageLayout->addWidget(m_iconLabel);
    m_messageLayout->addWidget(m_textLabel);
    m_contentLayout->addLayout(m_messageLayout);

    m_buttonLayout = new QHBoxLayout;
    m_submitButton = new QPushButton(tr("确定"));
    m_submitButton->setFixedSize(ButtonWidth, ButtonHeight);
    m_submitButton->setObjectName(QStringLiteral("MessageSubmitButton"));
    m_cancelButton = new QPushButton(tr("取消"));
    m_cancelButton->setFixedSize(ButtonWidth, ButtonHeight);
    m_cancelButton->setObjectName(QStringLiteral("MessageCancelButton"));
    // Enter confirms wherever the focus is; the space bar presses the focused button, and Esc
    // rejects as in every dialog.
    m_submitButton->setDefault(true);
    m_cancelButton->setAutoDefault(false);
    m_buttonLayout->addStretch(0);
    m_buttonLayout->addWidget(m_submitButton);
    m_buttonLayout->addWidget(m_cancelButton);
    m_contentLayout->addLayout(m_buttonLayout);

    setCentralWidget(m_centralWidget);
    setBackgroundImage(QStringLiteral(":/res/image/messagebox/bg.png"));
    setFixedSize(DialogWidth, DialogHeight);
    setWindowTitle(tr("消息框"));
    fancyBar()->titleBar()->hideMaximizeButton();
    // Minimised, a modal box would leave the window it blocks taking no clicks and no way back.
    fancyBar()->titleBar()->hideMinimizeButton();
    m_submitButton->setFocus();

    connect(m_submitButton, &QPushButton::clicked, this, &CMessageBox::slotClickButton);
    connect(m_cancelButton, &QPushButton::clicked, this, &CMessageBox::slotClickButton);
}

void CMessageBox::setMessageType(int type)
{
    m_messageType = type;
    if (type < Information || type > Error)
        return;
    setWindowTitle(tr(TypeLooks[type].title));
    m_iconLabel->setPixmap(QPixmap(QString::fromUtf8(TypeLooks[type].picture)));
}

void CMessageBox::setButtonType(int mode)
{
    m_submitButton->show();
    m_cancelButton->setVisible(mode != ConfirmOnly);
}

void CMessageBox::setMessageText(const QString &text)
{
    m_textLabel->setText(TextIndent + text);
}

int CMessageBox::exec()
{
    return QDialog::exec();
}

void CMessageBox::slotClickButton()
{
    auto *button = qobject_cast<QPushButton *>(sender());
    if (button == m_submitButton)
        accept();
    else if (button == m_cancelButton)
        reject();
}

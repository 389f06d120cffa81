#include "ui/login/loginwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/cmessagebox.h"
#include "ui/widgets/wordartwidget.h"

namespace
{

const QString BuiltInBackground = QStringLiteral(":/res/image/login/bg01.png");

QLabel *namedLabel(const QString &text, const char *objectName)
{
    auto *label = new QLabel(text);
    label->setObjectName(QLatin1String(objectName));
    return label;
}

QPushButton *formButton(const QString &text, const char *objectName, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(objectName));
    button->setFixedSize(LoginWidget::ButtonWidth, LoginWidget::ButtonHeight);
    return button;
}

} // namespace

LoginWidget::LoginWidget(QWidget *parent) : QWidget(parent), m_backgroundPath(BuiltInBackground)
{
    // A window of its own also when given a parent.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(FormWidth, FormHeight);

    m_mainLayout = new QVBoxLayout;
    // The inner widget has the form's own size: any margin would cut it off.
    m_mainLayout->setContentsMargins(0, 0, 0, 0);
    m_centralWidget = new QWidget;
    m_centralWidget->setObjectName(QStringLiteral("LoginWidget"));
    m_centralWidget->setFixedSize(FormWidth, FormHeight);
    m_contentLayout = new QVBoxLayout(m_centralWidget);
    m_mainLayout->addWidget(m_centralWidget);

    m_titleWidget = new WordArtWidget(this);
    m_titleWidget->setObjectName(QStringLiteral("LoginTitleWidget"));
    m_titleWidget->setFixedSize(TitleWidth, TitleHeight);
    const QString title = tr("登录管理系统");
    m_titleWidget->setFontSize(titleFontSize(title));
    m_titleWidget->setText(title);
    m_titleWidget->setTextColor(QStringLiteral("#41D3E9"));
    m_contentLayout->addWidget(m_titleWidget, 0, Qt::AlignHCenter);

    m_rememberLayout = new QHBoxLayout;
    m_rememberAccountCheckBox = new QCheckBox(tr("记住账号"), this);
    m_rememberAccountCheckBox->setObjectName(
        QStringLiteral("LoginWidgetRoleRememberAccountButton"));
    m_rememberPasswordCheckBox = new QCheckBox(tr("记住密码"), this);
    m_rememberPasswordCheckBox->setObjectName(
        QStringLiteral("LoginWidgetRoleRememberPasswordButton"));
    m_rememberLayout->addStretch(0);
    m_rememberLayout->addWidget(m_rememberAccountCheckBox, 0, Qt::AlignHCenter);
    m_rememberLayout->addWidget(m_rememberPasswordCheckBox, 0, Qt::AlignHCenter);
    m_rememberLayout->addStretch(0);
    m_contentLayout->addLayout(m_rememberLayout);

    m_accountWidget = new QWidget;
    m_accountWidget->setObjectName(QStringLiteral("AccountWidget"));
    m_accountWidget->setFixedSize(AccountWidth, AccountHeight);
    m_accountLayout = new QGridLayout(m_accountWidget);
    m_roleLabel = namedLabel(tr("角色："), "LoginWidgetRoleLabel");
    m_roleComboBox = new QComboBox;
    m_roleComboBox->setObjectName(QStringLiteral("LoginWidgetRoleComboBox"));
    m_roleComboBox->setFixedSize(FieldWidth, FieldHeight);
    m_roleComboBox->addItems({tr("员工"), tr("工程师"), tr("主管")});
    m_accountLabel = namedLabel(tr("账号："), "LoginWidgetAccountLabel");
    m_accountComboBox = new QComboBox;
    m_accountComboBox->setObjectName(QStringLiteral("LoginWidgetAccountComboBox"));
    m_accountComboBox->setFixedSize(FieldWidth, FieldHeight);
    m_accountComboBox->setEditable(true);
    m_accountComboBox->lineEdit()->setPlaceholderText(tr("账号"));
    m_passwordLabel = namedLabel(tr("密码："), "LoginWidgetPasswordLabel");
    m_passwordLineEdit = new QLineEdit;
    m_passwordLineEdit->setObjectName(QStringLiteral("LoginWidgetPasswordLineEdit"));
    m_passwordLineEdit->setFixedSize(FieldWidth, FieldHeight);
    m_passwordLineEdit->setPlaceholderText(tr("密码"));
    m_passwordLineEdit->setEchoMode(QLineEdit::Password);
    m_accountLayout->addWidget(m_roleLabel, 0, 0);
    m_accountLayout->addWidget(m_roleComboBox, 0, 1);
    m_accountLayout->addWidget(m_accountLabel, 1, 0);
    m_accountLayout->addWidget(m_accountComboBox, 1, 1);
    m_accountLayout->addWidget(m_passwordLabel, 2, 0);
    m_accountLayout->addWidget(m_passwordLineEdit, 2, 1);
    m_contentLayout->addWidget(m_accountWidget, 0, Qt::AlignHCenter);

    m_buttonLayout = new QHBoxLayout;
    m_loginButton = formButton(tr("登录"), "LoginButton", this);
    m_returnButton = formButton(tr("返回"), "ReturnButton", nullptr);
    m_buttonLayout->addWidget(m_loginButton);
    m_buttonLayout->addWidget(m_returnButton);
    m_contentLayout->addLayout(m_buttonLayout);

    setLayout(m_mainLayout);

    connect(m_returnButton, &QPushButton::clicked, this, &LoginWidget::signalReturn);
    connect(m_loginButton, &QPushButton::clicked, this, &LoginWidget::slotLogin);
    connect(m_passwordLineEdit, &QLineEdit::returnPressed, this, &LoginWidget::slotLogin);
}

int LoginWidget::titleFontSize(const QString &text)
{
    // The word art's own font: the application's, in bold.
    QFont font;
    font.setBold(true);
    int size = WordArtWidget::DefaultFontSize;
    for (; size > 1; --size) {
        font.setPointSize(size);
        if (QFontMetrics(font).horizontalAdvance(text) + WordArtWidget::OutlineWidth <= TitleWidth)
            break;
    }
    return size;
}

void LoginWidget::setBackgroundImage(const QString &path)
{
    // Read at the first paint: the console builds its login forms hidden, and reading the
    // picture was the largest single step of building the main window. No name keeps the
    // compiled-in picture.
    m_backgroundPath = path.isEmpty() ? BuiltInBackground : path;
    m_backgroundPixmap = QPixmap();
    m_backgroundRead = false;
    update();
}

void LoginWidget::showLogin()
{
    show();
    m_centralWidget->show();
    m_passwordLineEdit->clear();
}

void LoginWidget::slotShowPassword()
{
    m_passwordLineEdit->setEchoMode(QLineEdit::Normal);
}

void LoginWidget::slotHidePassword()
{
    m_passwordLineEdit->setEchoMode(QLineEdit::Password);
}

// Entered is enough: a text of blanks counts as entered.
void LoginWidget::slotLogin()
{
    const QString account = m_accountComboBox->currentText();
    const QString password = m_passwordLineEdit->text();
    if (account.isEmpty()) {
        showInputMessage(tr("请输入您的账号ID."));
        return;
    }
    if (password.isEmpty()) {
        showInputMessage(tr("请输入您的账号密码."));
        return;
    }
    hide();
    // Set before the signal, so that its receivers see the login as done.
    m_loginSucceeded = true;
    emit loggedIn();
}

void LoginWidget::showInputMessage(const QString &text)
{
    CMessageBox box(this);
    box.setMessageType(CMessageBox::Information);
    box.setButtonType(CMessageBox::ConfirmOnly);
    box.setMessageText(text);
    box.exec();
}

void LoginWidget::slotCancel()
{
    m_centralWidget->show();
}

// Esc leaves the form as "返回" does; the fields pass it on to here.
void LoginWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_returnButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void LoginWidget::mousePressEvent(QMouseEvent *event)
{
    m_mousePressed = true;
    m_mousePoint = event->globalPos() - pos();
}

void LoginWidget::mouseReleaseEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    m_mousePressed = false;
}

void LoginWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (m_mousePressed)
        move(event->globalPos() - m_mousePoint);
}

void LoginWidget::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    if (!m_backgroundRead) {
        m_backgroundRead = true;
        if (!m_backgroundPixmap.load(m_backgroundPath) && m_backgroundPath != BuiltInBackground)
            qWarning().noquote() << "Login background" << m_backgroundPath
                                 << "cannot be read; the form is drawn without it.";
    }
    QPainter painter(this);
    painter.drawPixmap(rect(), m_backgroundPixmap);
}

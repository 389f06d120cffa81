#pragma once

#include "fancydialog.h"

class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

// The program's modal message dialog: a picture for the message type, the text beside it and
// "确定" / "取消" at the bottom right. Made on the caller's stack, configured, run with exec()
// and read: 1 after "确定" or Enter, 0 after "取消", Esc or any other way of closing. Given the
// window it blocks as parent, it stays above that window and comes to the front with it; it has
// no minimise button.
class CMessageBox : public FancyDialog
{
    Q_OBJECT

public:
    enum MessageType { Information = 0, Warning = 1, Error = 2 };
    // Any other mode shows both buttons.
    static constexpr int ConfirmOnly = 1;
    static constexpr int ConfirmAndCancel = 2;

    static constexpr int DialogWidth = 500;
    static constexpr int DialogHeight = 300;
    static constexpr int IconSide = 130;
    static constexpr int ButtonWidth = 80;
    static constexpr int ButtonHeight = 40;

    explicit CMessageBox(QWidget *parent = nullptr);

    // 0 information, 1 warning, 2 error set the title and the picture; any other value is only
    // stored.
    void setMessageType(int type);
    int messageType() const { return m_messageType; }
    void setButtonType(int mode);
    void setMessageText(const QString &text);

    int exec() override;

public slots:
    void slotClickButton();

private:
    Q_DISABLE_COPY(CMessageBox)

    QWidget *m_centralWidget;
    QVBoxLayout *m_contentLayout;
    QHBoxLayout *m_messageLayout;
    QLabel *m_iconLabel;
    QLabel *m_textLabel;
    QHBoxLayout *m_buttonLayout;
    QPushButton *m_submitButton;
    QPushButton *m_cancelButton;
    int m_messageType = Information;
};

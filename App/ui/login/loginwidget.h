#pragma once

#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class WordArtWidget;

// The login window: a frameless 600 x 400 form over a picture, dragged with any mouse button.
// A login only needs an account and a password to be entered; nothing is compared or stored
// (the remember boxes and the role are for show). On success the form hides itself and
// reports loggedIn(); "返回" reports signalReturn() and leaves the hiding to the owner. Enter in
// the password field logs in, Esc anywhere on the form is "返回".
class LoginWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int FormWidth = 600;
    static constexpr int FormHeight = 400;
    static constexpr int TitleWidth = 320;
    static constexpr int TitleHeight = 80;
    static constexpr int AccountWidth = 270;
    static constexpr int AccountHeight = 150;
    static constexpr int FieldWidth = 190;
    static constexpr int FieldHeight = 33;
    static constexpr int ButtonWidth = 100;
    static constexpr int ButtonHeight = 40;

    explicit LoginWidget(QWidget *parent = nullptr);

    // The largest word-art size, at most its default, at which the text fits the title's width
    // on this screen: the word art draws in points, and above 96 dpi six glyphs at the default
    // size are wider than the title.
    static int titleFontSize(const QString &text);

    // Drawn instead of the built-in picture from now on, even when the file cannot be read.
    void setBackgroundImage(const QString &path);
    // Shows the form again with the password cleared; the account and role stay.
    void showLogin();
    bool isLoggedIn() const { return m_loginSucceeded; }

signals:
    void signalReturn();
    void loggedIn();

public slots:
    void slotShowPassword();
    void slotHidePassword();
    void slotLogin();
    void slotCancel();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY(LoginWidget)

    void showInputMessage(const QString &text);

    QVBoxLayout *m_mainLayout;
    QWidget *m_centralWidget;
    QVBoxLayout *m_contentLayout;
    WordArtWidget *m_titleWidget;
    QHBoxLayout *m_rememberLayout;
    QCheckBox *m_rememberAccountCheckBox;
    QCheckBox *m_rememberPasswordCheckBox;
    QWidget *m_accountWidget;
    QGridLayout *m_accountLayout;
    QLabel *m_roleLabel;
    QComboBox *m_roleComboBox;
    QLabel *m_accountLabel;
    QComboBox *m_accountComboBox;
    QLabel *m_passwordLabel;
    QLineEdit *m_passwordLineEdit;
    QHBoxLayout *m_buttonLayout;
    QPushButton *m_loginButton;
    QPushButton *m_returnButton;
    bool m_mousePressed = false;
    QPoint m_mousePoint;
    // The compiled-in picture until setBackgroundImage() names another; read at the first paint.
    QString m_backgroundPath;
    QPixmap m_backgroundPixmap;
    bool m_backgroundRead = false;
    bool m_loginSucceeded = false;
};

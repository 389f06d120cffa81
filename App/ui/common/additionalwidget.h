#pragma once

#include <QRect>
#include <QWidget>

class HeadButton;
class QHBoxLayout;
class QToolButton;

// The user strip of the title bar: "日志", "系统" and "登录" glyph buttons and the avatar. It
// only reports clicks and the avatar's hover; the main window decides what they open.
class AdditionalWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ButtonSide = 50;
    static constexpr int HeadSide = 36;
    static constexpr int HeadIconSide = 28;
    static constexpr int GlyphPixelSize = 30;
    static constexpr int GlyphSide = 35;
    static constexpr int LogGlyph = 0xF013;
    static constexpr int SystemGlyph = 0xF06B;
    static constexpr int LoginGlyph = 0xF113;

    explicit AdditionalWidget(QWidget *parent = nullptr);

    bool isHeadUnderMouse() const;
    QRect headButtonGeometry() const;
    // The button the log window opens below.
    QWidget *logButton() const;
    // The log and system buttons, together.
    void disableButtons();
    void enableButtons();

signals:
    void logInfo();
    void loginInfo();
    void menuInfo();
    void enterHead();
    void leaveHead();

private:
    Q_DISABLE_COPY(AdditionalWidget)

    QToolButton *createToolButton(const QString &text, int glyph);

    QHBoxLayout *m_buttonLayout;
    QToolButton *m_logButton;
    QToolButton *m_systemButton;
    QToolButton *m_loginButton;
    HeadButton *m_headButton;
};

#pragma once

#include "ui/common/framelesswindow/framelesswindow.h"

class QFrame;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QVBoxLayout;

// The card that says who is logged in: avatar and name, a line, then role, login time and
// motto. The main window slides it down below the avatar of the title bar and keeps two flags
// in it: shown (shown or being shown) and animating (the drop-down is running).
class LoginInfo : public CFramelessWindow
{
    Q_OBJECT

public:
    static constexpr int IconSide = 40;
    static constexpr int HeadSpacerWidth = 20;
    static constexpr int HeadSpacerHeight = 10;

    explicit LoginInfo(QWidget *parent = nullptr);

    void setShown(bool shown) { m_shown = shown; }
    bool isShown() const { return m_shown; }
    void setAnimating(bool animating) { m_animating = animating; }
    bool isAnimating() const { return m_animating; }

private:
    Q_DISABLE_COPY(LoginInfo)

    QWidget *m_cardWidget;
    QVBoxLayout *m_mainLayout;
    QHBoxLayout *m_headLayout;
    QLabel *m_iconLabel;
    QLabel *m_nameLabel;
    QFrame *m_line;
    QGridLayout *m_infoLayout;
    QLabel *m_roleCaptionLabel;
    QLabel *m_roleLabel;
    QLabel *m_timeCaptionLabel;
    QLabel *m_timeLabel;
    QLabel *m_mottoCaptionLabel;
    QLabel *m_mottoLabel;
    bool m_shown = false;
    bool m_animating = false;
};

#pragma once

#include <QWidget>

class QToolButton;
class QVBoxLayout;

// The three large function buttons ("启动", "暂停", "等待") centred on their own widget; the
// side panel's "功能" page shows the same buttons.
class FuncButtonWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int IconSide = 50;
    static constexpr int GlyphPixelSize = 30;
    static constexpr int GlyphSide = 40;

    struct Buttons {
        QToolButton *setup;
        QToolButton *pause;
        QToolButton *wait;
    };

    explicit FuncButtonWidget(QWidget *parent = nullptr);

    // Creates the three buttons, adds them to the layout in order and centres the layout.
    static Buttons addButtons(QVBoxLayout *layout);

private:
    Q_DISABLE_COPY(FuncButtonWidget)

    QVBoxLayout *m_layout = nullptr;
    QToolButton *m_setupButton = nullptr;
    QToolButton *m_pauseButton = nullptr;
    QToolButton *m_waitButton = nullptr;
};

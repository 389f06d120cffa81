#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;
class QToolButton;

// The caption row of a frameless window: the window title and the minimise, maximise and close
// buttons, all acting on the top-level window the bar belongs to. FancyBar keeps its title and
// maximise state up to date.
class FancyTitleBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int DefaultHeight = 32;
    static constexpr int ButtonWidth = 40;
    static constexpr int GlyphSide = 12;

    enum class Glyph { Minimize, Maximize, Restore, Close };

    // The drawing on a window button, in the given colour on a transparent square of side
    // `side` logical pixels. Drawn rather than taken from the style so that the theme's text
    // colour for the buttons applies to it.
    static QPixmap glyphPixmap(Glyph glyph, const QColor &color, int side, qreal devicePixelRatio);

    explicit FancyTitleBar(QWidget *parent = nullptr);

    void hideMaximizeButton();
    bool isMaximizeButtonHidden() const;
    // For a window that must not go away on its own, such as a modal dialog.
    void hideMinimizeButton();

    void setTitleBarHeight(int height);
    int titleBarHeight() const;

    // A double click on the bar may maximise: not when the maximise button is hidden, nor for
    // a window of fixed size.
    bool canMaximize() const;

public slots:
    void toggleMaximized();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Q_DISABLE_COPY(FancyTitleBar)
    friend class FancyBar;

    void applyTitleBarHeight();
    void setTitle(const QString &title);
    void setMaximized(bool maximized);
    QToolButton *createButton(const char *objectName);
    void updateGlyph(QToolButton *button);

    QLabel *m_titleLabel;
    QToolButton *m_minimizeButton;
    QToolButton *m_maximizeButton;
    QToolButton *m_closeButton;
    int m_titleBarHeight = DefaultHeight;
    bool m_maximizeHidden = false;
    bool m_maximized = false;
};

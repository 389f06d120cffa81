#pragma once

#include <QChar>
#include <QColor>
#include <QFont>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>

class QAbstractButton;
class QLabel;
class QToolButton;
class QWidget;

// Draws glyphs of the FontAwesome 4.7 icon font into pixmaps and widget texts, and gives
// containers of buttons a navigation-bar look. Glyphs are addressed by their code points
// (U+F000 upward). One process-wide instance.
class IconHelper : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *FontFamily = "FontAwesome";
    static constexpr const char *FontResource = ":/res/font/fontawesome-webfont.ttf";

    static IconHelper *instance();
    ~IconHelper() override;

    // A width x height pixmap, transparent but for the glyph in the given colour at the given
    // pixel size, placed by the alignment flags.
    QPixmap glyphPixmap(const QColor &color, QChar glyph, int pixelSize, int width, int height,
                        int flags = Qt::AlignCenter);

    void setGlyph(QLabel *label, QChar glyph, int pixelSize);
    void setGlyph(QAbstractButton *button, QChar glyph, int pixelSize);

    // The pixmap drawn for a registered button at its first registration, in the normal or the
    // hover colour; a null pixmap for a button never registered.
    QPixmap buttonPixmap(QToolButton *button, bool normal) const;

    // type names the side of the hover border ("top", "right", "bottom", "left"); the container
    // must carry the same value in its dynamic property "flag".
    static void styleNavigationWidget(QWidget *widget, const QString &type, int borderWidth,
                                      const QString &borderColor, const QString &normalBgColor,
                                      const QString &darkBgColor, const QString &normalTextColor,
                                      const QString &darkTextColor);

    // Both also give every button its glyph (normal colour, hover colour while the pointer is on
    // it or while it is checked); nothing happens when the lists are empty or differ in length.
    void styleToolButtonWidget(QWidget *widget, QList<QToolButton *> buttons, QList<int> glyphs,
                               int iconPixelSize, int iconWidth, int iconHeight,
                               const QString &type, int borderWidth, const QString &borderColor,
                               const QString &normalBgColor, const QString &darkBgColor,
                               const QString &normalTextColor, const QString &darkTextColor);
    void styleToolButtonFrame(QWidget *frame, QList<QToolButton *> buttons, QList<int> glyphs,
                              int iconPixelSize, int iconWidth, int iconHeight,
                              const QString &normalBgColor, const QString &darkBgColor,
                              const QString &normalTextColor, const QString &darkTextColor);

    // The font glyphs are drawn with; it keeps the pixel size of the last drawing call.
    QFont iconFont() const;

    // The border part of the generated rules: border width B on the named side, padding B there
    // and 2B on the other sides; empty for an unknown side.
    static QString borderFragment(const QString &type, int borderWidth);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit IconHelper(QObject *parent = nullptr);
    Q_DISABLE_COPY(IconHelper)

    static QString navigationButtonRule(const QString &type, const QString &normalTextColor,
                                        const QString &normalBgColor);
    static QString navigationHoverRule(const QString &type, const QString &border,
                                       const QString &borderColor, const QString &darkTextColor,
                                       const QString &darkBgColor);
    void registerButtons(const QList<QToolButton *> &buttons, const QList<int> &glyphs,
                         int iconPixelSize, int iconWidth, int iconHeight,
                         const QString &normalTextColor, const QString &darkTextColor);
    void forgetButton(QObject *object);

    QFont m_iconFont;
    QList<QToolButton *> m_buttons;
    QList<QPixmap> m_normalPixmaps;
    QList<QPixmap> m_hoverPixmaps;
};

#pragma once

#include <QString>
#include <QWidget>

// One line of text painted as word art: glyph outlines stroked in one colour and filled with
// another (or left hollow), in a large bold font. Only setText repaints; the colour and size
// setters take effect at the next paint.
class WordArtWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    static constexpr int DefaultFontSize = 40;
    static constexpr int OutlineWidth = 2;

    explicit WordArtWidget(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    QString textColor() const { return m_textColor; }
    QString fillColor() const { return m_fillColor; }
    int fontSize() const { return m_fontSize; }

    // The y of the text's baseline in a widget of the given height.
    static int baseline(int height, int fontSize);

    void setText(const QString &text);
    void setTextColor(const QString &textColor);
    void setFillColor(const QString &fillColor);
    void setFontSize(int fontSize);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY(WordArtWidget)

    QString m_text;
    QString m_textColor;
    QString m_fillColor;
    int m_fontSize;
};

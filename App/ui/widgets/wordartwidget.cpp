#include "wordartwidget.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>

WordArtWidget::WordArtWidget(QWidget *parent)
    : QWidget(parent), m_textColor(QStringLiteral("#EB2E50")), m_fontSize(DefaultFontSize)
{
}

int WordArtWidget::baseline(int height, int fontSize)
{
    return height - fontSize / 2;
}

// Repaints even for the same text: callers change the colours or size first and then set the
// text to show them.
void WordArtWidget::setText(const QString &text)
{
    m_text = text;
    update();
}

void WordArtWidget::setTextColor(const QString &textColor)
{
    m_textColor = textColor;
}

void WordArtWidget::setFillColor(const QString &fillColor)
{
    m_fillColor = fillColor;
}

void WordArtWidget::setFontSize(int fontSize)
{
    m_fontSize = fontSize;
}

void WordArtWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Lets style sheets give the widget a background.
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(m_textColor), OutlineWidth));

    // A single stop fills with that one colour.
    QLinearGradient gradient;
    gradient.setColorAt(0, m_fillColor.isEmpty() ? QColor(Qt::transparent) : QColor(m_fillColor));

    QFont font;
    font.setPointSize(m_fontSize);
    font.setBold(true);

    QPainterPath path;
    path.addText(0, baseline(rect().height(), m_fontSize), font, m_text);

    painter.setBrush(gradient);
    painter.drawPath(path);
}

#include "stationfeedindicator.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QVariant>

#include "ui/common/iconhelper.h"

namespace
{

const char *const FeedProperty = "feed";

} // namespace

StationFeedIndicator::StationFeedIndicator(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StationFeedIndicator"));
    setFixedSize(Side, Side);
    setProperty(FeedProperty, feedOf(m_state));
}

QString StationFeedIndicator::feedOf(StationClient::State state)
{
    switch (state) {
    case StationClient::Connected:
        return QStringLiteral("connected");
    case StationClient::Connecting:
        return QStringLiteral("connecting");
    default:
        return QStringLiteral("offline");
    }
}

void StationFeedIndicator::setFeedState(StationClient::State state, const QString &detail)
{
    QString headline;
    switch (state) {
    case StationClient::Connected:
        headline = tr("站点数据：已连接");
        break;
    case StationClient::Connecting:
        headline = tr("站点数据：正在连接");
        break;
    default:
        headline = tr("站点数据：离线");
        break;
    }
    setToolTip(detail.isEmpty() ? headline : headline + QLatin1Char('\n') + detail);
    if (state == m_state)
        return;
    m_state = state;
    setProperty(FeedProperty, feedOf(state));
    // The theme's colour for the new state applies once the widget is polished again.
    style()->unpolish(this);
    style()->polish(this);
    update();
}

QSize StationFeedIndicator::sizeHint() const
{
    return QSize(Side, Side);
}

void StationFeedIndicator::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);

    int glyph = OfflineGlyph;
    if (m_state == StationClient::Connected)
        glyph = ConnectedGlyph;
    else if (m_state == StationClient::Connecting)
        glyph = ConnectingGlyph;
    // The glyph is drawn in the text colour, which the theme sets per state.
    QFont font = IconHelper::instance()->iconFont();
    font.setPixelSize(GlyphPixelSize);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter, QString(QChar(glyph)));
}

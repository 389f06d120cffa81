#pragma once

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "video/videochannel.h"

// Shows one channel: its newest picture, as large as the view allows with its shape kept, and
// the channel's state in words on a plate. A picture that is not live (lost, reconnecting,
// connecting to another stream) is darkened to well under half its brightness, so that a frozen
// picture never looks live. The view asks its channel for the stream its owner chose only
// while it is on screen; hidden or minimised, it asks for nothing. Its colours come from the
// theme through the style sheet (qproperty-plateColor, -textColor, -accentColor, -alertColor).
class VideoView : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor plateColor READ plateColor WRITE setPlateColor)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
    Q_PROPERTY(QColor accentColor READ accentColor WRITE setAccentColor)
    Q_PROPERTY(QColor alertColor READ alertColor WRITE setAlertColor)

public:
    // Black laid over a picture that is not live: 150 of 255 leaves 41 % of its brightness.
    static constexpr int ShadeAlpha = 150;
    static constexpr int PlateRadius = 4;
    static constexpr int PlatePadding = 8;
    // The words that count time are brought up to date this often.
    static constexpr int TickMs = 1000;

    explicit VideoView(QWidget *parent = nullptr);
    ~VideoView() override;

    VideoChannel *channel() const;
    void setChannel(VideoChannel *channel);
    // The stream the owner wants shown (None: none, whether on screen or not).
    VideoChannel::Stream stream() const { return m_stream; }
    void setStream(VideoChannel::Stream stream);
    // What the view asks of its channel now.
    VideoChannel::Stream demand() const;
    // The size it asks for: its own, in device pixels.
    QSize demandedSize() const;

    // Where a picture of that shape is painted in the area: as large as fits, centred.
    static QRect fitted(const QSize &picture, const QRect &area);
    // The rectangle the current picture takes, or an empty one without a picture.
    QRect pictureRect() const;
    // The words on the plate, first line the heading; empty while the picture is live.
    QStringList plateLines() const;
    // The words for a problem, on screen.
    static QString problemText(VideoProblem problem);
    // "12 秒", "3 分 5 秒", "2 小时 7 分".
    static QString durationText(qint64 ms);

    QColor plateColor() const { return m_plateColor; }
    void setPlateColor(const QColor &color);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor &color);
    QColor accentColor() const { return m_accentColor; }
    void setAccentColor(const QColor &color);
    QColor alertColor() const { return m_alertColor; }
    void setAlertColor(const QColor &color);

signals:
    // A frame not painted before has been painted.
    void framePainted(quint64 serial, qint64 decodedNs);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    Q_DISABLE_COPY(VideoView)

    void updateDemand();
    void channelStateChanged();
    void channelFrameChanged();
    void updateTicking();
    void paintPlate(QPainter &painter, const QStringList &lines);

    QPointer<VideoChannel> m_channel;
    VideoChannel::Stream m_stream = VideoChannel::Stream::None;
    VideoChannel::Stream m_demand = VideoChannel::Stream::None;
    QSize m_demandedSize;
    bool m_onScreen = false;
    QRect m_paintedRect;
    quint64 m_paintedSerial = 0;
    QTimer m_tick;
    QColor m_plateColor;
    QColor m_textColor;
    QColor m_accentColor;
    QColor m_alertColor;
};

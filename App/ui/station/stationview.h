#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QVector>

#include "station/stationclient.h"
#include "station/stationmessage.h"

class CameraPanel;
class CameraParam;
class ChartPanel;
class CTextEdit;
class StationFeedIndicator;
class StationModel;

// Shows the station model on the console's widgets: each camera's verdict and name on the tile
// that shows its channel and on its camera page, the counts on the pie chart, the rates on the
// two gauges, the station's log in the log boxes, and the feed's state in the title bar. Pages
// are attached when they exist and show the model's state at once, so a page built late misses
// nothing. A log box that is hidden is brought up to date when it is shown again rather than on
// every announcement.
class StationView : public QObject
{
    Q_OBJECT

public:
    // Titles of a camera without a name, as the tiles and the pages show them from the start.
    static QString tileDefaultTitle();
    static QString pageDefaultTitle();

    StationView(StationModel *model, StationClient *client, QObject *parent = nullptr);

    void attachCameraWall(CameraPanel *wall);
    // The page of camera n (1 ... 16).
    void attachCameraPage(int camera, CameraParam *page);
    void attachChartPage(ChartPanel *page);
    void attachLog(CTextEdit *box);
    void attachFeedIndicator(StationFeedIndicator *indicator);

    // The one way a camera's state reaches the screen: the tile that shows channel n shows
    // camera n, and so does its page.
    void showCamera(int camera);

    // The INI's [ChannelNN] Name, else the name the station gave, else the fallback.
    QString titleOf(int camera, const QString &fallback) const;
    // The tooltip of a camera's state: the verdict's time and reason.
    QString stateDetailOf(int camera) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Q_DISABLE_COPY(StationView)

    void showCameras(const QList<int> &cameras);
    void showCounts();
    void showRates();
    void showFeedState(StationClient::State state, const QString &detail);
    void appendLog(const QStringList &lines);
    void refillLog(CTextEdit *box);

    StationModel *m_model;
    StationClient *m_client;
    QPointer<CameraPanel> m_wall;
    QVector<QPointer<CameraParam>> m_pages;
    QPointer<ChartPanel> m_chart;
    QList<QPointer<CTextEdit>> m_logs;
    // Hidden log boxes that missed lines.
    QSet<CTextEdit *> m_staleLogs;
    QPointer<StationFeedIndicator> m_indicator;
};

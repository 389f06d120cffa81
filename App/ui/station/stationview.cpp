#include "stationview.h"

#include <QEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "common/config/setupconfig.h"
#include "station/stationmodel.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/camerapanel.h"
#include "ui/camera/cameraparam.h"
#include "ui/chart/average/averagechartpanel.h"
#include "ui/chart/chartpanel.h"
#include "ui/chart/instant/instantchartpanel.h"
#include "ui/chart/pie/piechart.h"
#include "ui/common/ctextedit.h"
#include "ui/station/stationfeedindicator.h"

QString StationView::tileDefaultTitle()
{
    return QStringLiteral("Unknow");
}

QString StationView::pageDefaultTitle()
{
    return QStringLiteral("Unkown");
}

StationView::StationView(StationModel *model, StationClient *client, QObject *parent)
    : QObject(parent), m_model(model), m_client(client), m_pages(StationModel::CameraCount)
{
    connect(m_model, &StationModel::camerasChanged, this, &StationView::showCameras);
    connect(m_model, &StationModel::countsChanged, this, &StationView::showCounts);
    connect(m_model, &StationModel::ratesChanged, this, &StationView::showRates);
    connect(m_model, &StationModel::logAppended, this, &StationView::appendLog);
    if (m_client)
        connect(m_client, &StationClient::stateChanged, this, &StationView::showFeedState);
}

void StationView::attachCameraWall(CameraPanel *wall)
{
    m_wall = wall;
    for (int camera = 1; camera <= StationModel::CameraCount; ++camera)
        showCamera(camera);
}

void StationView::attachCameraPage(int camera, CameraParam *page)
{
    if (camera < 1 || camera > StationModel::CameraCount)
        return;
    m_pages[camera - 1] = page;
    showCamera(camera);
}

void StationView::attachChartPage(ChartPanel *page)
{
    m_chart = page;
    showCounts();
    showRates();
}

void StationView::attachLog(CTextEdit *box)
{
    m_logs.append(box);
    // The model keeps as many lines as a box: older ones would be dropped there anyway.
    box->document()->setMaximumBlockCount(StationModel::MaxLogLines);
    box->installEventFilter(this);
    refillLog(box);
}

void StationView::attachFeedIndicator(StationFeedIndicator *indicator)
{
    m_indicator = indicator;
    if (m_client)
        showFeedState(m_client->state(), m_client->detail());
}

QString StationView::titleOf(int camera, const QString &fallback) const
{
    const QString key = QStringLiteral("Channel%1/Name").arg(camera, 2, 10, QLatin1Char('0'));
    const QString configured = SetupConfig::instance()->value(key).toString().trimmed();
    if (!configured.isEmpty())
        return configured;
    const QString named = m_model->camera(camera).name;
    return named.isEmpty() ? fallback : named;
}

QString StationView::stateDetailOf(int camera) const
{
    const StationModel::Camera state = m_model->camera(camera);
    if (!state.time.isValid())
        return QString();
    QString detail = QStringLiteral("%1 %2").arg(
        CameraDisplay::stateText(state.verdict),
        state.time.toLocalTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss.zzz")));
    if (!state.reason.isEmpty())
        detail += QLatin1Char('\n') + state.reason;
    return detail;
}

void StationView::showCamera(int camera)
{
    const StationModel::Camera state = m_model->camera(camera);
    const QString detail = stateDetailOf(camera);
    if (m_wall) {
        if (CameraDisplay *tile = m_wall->tileOfChannel(camera)) {
            tile->setState(state.verdict);
            tile->setStateToolTip(detail);
            tile->setTitle(titleOf(camera, tileDefaultTitle()));
        }
    }
    if (CameraParam *page = m_pages.value(camera - 1)) {
        page->setState(int(state.verdict));
        page->setStateToolTip(detail);
        page->setTitle(titleOf(camera, pageDefaultTitle()));
    }
}

void StationView::showCameras(const QList<int> &cameras)
{
    for (int camera : cameras)
        showCamera(camera);
}

void StationView::showCounts()
{
    const StationModel::Counts counts = m_model->counts();
    if (m_chart && counts.known)
        m_chart->pieChart()->setCounts(counts.good, counts.bad, counts.unknown);
}

void StationView::showRates()
{
    const StationModel::Rates rates = m_model->rates();
    if (!m_chart || !rates.known)
        return;
    m_chart->averagePanel()->showValue(rates.average);
    m_chart->instantPanel()->showValue(rates.instant);
}

void StationView::showFeedState(StationClient::State state, const QString &detail)
{
    if (m_indicator)
        m_indicator->setFeedState(state, detail);
}

void StationView::appendLog(const QStringList &lines)
{
    for (const QPointer<CTextEdit> &box : qAsConst(m_logs)) {
        if (!box)
            continue;
        if (!box->isVisible()) {
            m_staleLogs.insert(box);
            continue;
        }
        QScrollBar *bar = box->verticalScrollBar();
        const bool following = bar->value() == bar->maximum();
        QTextCursor cursor(box->document());
        cursor.movePosition(QTextCursor::End);
        // Inserted as plain text: a station's line is never read as markup.
        const QString text = lines.join(QLatin1Char('\n'));
        cursor.insertText(box->document()->isEmpty() ? text : QLatin1Char('\n') + text);
        if (following)
            bar->setValue(bar->maximum());
    }
}

void StationView::refillLog(CTextEdit *box)
{
    m_staleLogs.remove(box);
    box->setPlainText(m_model->logLines().join(QLatin1Char('\n')));
    box->moveCursor(QTextCursor::End);
    // The scroll bar has its range once the box is laid out at its size, after it is shown.
    QTimer::singleShot(
        0, box, [box] { box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum()); });
}

bool StationView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        auto *box = static_cast<CTextEdit *>(watched);
        if (m_staleLogs.contains(box))
            refillLog(box);
    }
    return QObject::eventFilter(watched, event);
}

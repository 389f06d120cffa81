#include "momentspage.h"

#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "moments/momentarchive.h"
#include "moments/momentexporter.h"
#include "moments/momentlistmodel.h"
#include "moments/momentreader.h"
#include "moments/momentstore.h"
#include "ui/moments/momentdelegate.h"
#include "ui/moments/momentpictureview.h"

namespace
{

constexpr int ListPage = 0;
constexpr int PicturePage = 1;
constexpr qint64 HourMs = 3600 * 1000;
constexpr qint64 DayMs = 24 * HourMs;
constexpr qint64 WeekMs = 7 * DayMs;
constexpr int HeaderSpacing = 8;
const QString DateTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm");

QString cameraText(int camera)
{
    return QStringLiteral("C%1").arg(camera, 2, 10, QLatin1Char('0'));
}

} // namespace

MomentsPage::MomentsPage(MomentArchive *archive, QWidget *parent)
    : QWidget(parent), m_archive(archive), m_client(MomentReader::newClient())
{
    setObjectName(QStringLiteral("MomentsPage"));
    setAttribute(Qt::WA_StyledBackground);
    m_model = new MomentListModel(archive->reader(), this);
    m_exporter = new MomentExporter(archive->folder(), this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    initFilters();
    initCounts();

    m_views = new QStackedWidget;
    m_list = new QListView;
    m_list->setObjectName(QStringLiteral("MomentsList"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(new MomentDelegate(MomentDelegate::Form::List, m_list));
    // One height for every row: the view lays out any number of them without asking each.
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_views->addWidget(m_list);

    m_picturePage = new QWidget;
    m_picturePage->setObjectName(QStringLiteral("MomentsPicturePage"));
    auto *pictureLayout = new QVBoxLayout(m_picturePage);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    pictureLayout->setSpacing(0);
    m_picture = new MomentPictureView;
    m_picture->setFocusPolicy(Qt::StrongFocus);
    m_pictureInfo = new QLabel;
    m_pictureInfo->setObjectName(QStringLiteral("MomentsPictureInfo"));
    m_pictureInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pictureInfo->setWordWrap(true);
    pictureLayout->addWidget(m_picture, 1);
    pictureLayout->addWidget(m_pictureInfo, 0);
    m_views->addWidget(m_picturePage);

    m_statusLabel = new QLabel;
    m_statusLabel->setObjectName(QStringLiteral("MomentsStatus"));
    m_statusLabel->hide();

    layout->addWidget(m_views, 1);
    layout->addWidget(m_statusLabel, 0);

    m_countsTimer = new QTimer(this);
    m_countsTimer->setInterval(CountsRefreshMs);
    connect(m_countsTimer, &QTimer::timeout, this, &MomentsPage::askCounts);
    initConnections();
    updateExportButton();
}

MomentsPage::~MomentsPage() = default;

void MomentsPage::initFilters()
{
    auto *bar = new QWidget;
    bar->setObjectName(QStringLiteral("MomentsFilterBar"));
    bar->setAttribute(Qt::WA_StyledBackground);
    auto *row = new QHBoxLayout(bar);
    row->setSpacing(HeaderSpacing);

    auto *title = new QLabel(tr("NG 画面"));
    title->setObjectName(QStringLiteral("MomentsTitle"));

    m_cameraFilter = new QComboBox;
    m_cameraFilter->setObjectName(QStringLiteral("MomentsCameraFilter"));
    m_cameraFilter->addItem(tr("全部相机"), 0);
    for (int camera = 1; camera <= CameraCount; ++camera)
        m_cameraFilter->addItem(tr("相机%1").arg(camera), camera);

    m_reasonFilter = new QComboBox;
    m_reasonFilter->setObjectName(QStringLiteral("MomentsReasonFilter"));
    m_reasonFilter->setEditable(true);
    m_reasonFilter->setInsertPolicy(QComboBox::NoInsert);
    m_reasonFilter->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_reasonFilter->setMinimumContentsLength(12);
    m_reasonFilter->lineEdit()->setPlaceholderText(tr("全部原因"));

    m_timeFilter = new QComboBox;
    m_timeFilter->setObjectName(QStringLiteral("MomentsTimeFilter"));
    m_timeFilter->addItem(tr("全部时间"), AnyTime);
    m_timeFilter->addItem(tr("最近1小时"), LastHour);
    m_timeFilter->addItem(tr("最近24小时"), LastDay);
    m_timeFilter->addItem(tr("最近7天"), LastWeek);
    m_timeFilter->addItem(tr("自定义"), CustomRange);

    const QDateTime now = QDateTime::currentDateTime();
    m_fromEdit = new QDateTimeEdit(now.addDays(-CustomRangeDays));
    m_toEdit = new QDateTimeEdit(now);
    for (QDateTimeEdit *edit : {m_fromEdit, m_toEdit}) {
        edit->setObjectName(QStringLiteral("MomentsTimeEdit"));
        edit->setDisplayFormat(DateTimeFormat);
        edit->setCalendarPopup(true);
        edit->setVisible(false);
    }

    m_totalLabel = new QLabel;
    m_totalLabel->setObjectName(QStringLiteral("MomentsTotal"));
    m_exportButton = new QPushButton(tr("导出"));
    m_exportButton->setObjectName(QStringLiteral("MomentsExportButton"));
    m_exportButton->setToolTip(tr("把选中的画面和一份 CSV 复制到一个文件夹"));

    row->addWidget(title);
    row->addWidget(m_cameraFilter);
    row->addWidget(m_reasonFilter);
    row->addWidget(m_timeFilter);
    row->addWidget(m_fromEdit);
    row->addWidget(m_toEdit);
    row->addStretch(1);
    row->addWidget(m_totalLabel);
    row->addWidget(m_exportButton);
    layout()->addWidget(bar);
}

void MomentsPage::initCounts()
{
    m_countsBar = new QWidget;
    m_countsBar->setObjectName(QStringLiteral("MomentsCounts"));
    m_countsBar->setAttribute(Qt::WA_StyledBackground);
    m_countsBar->setToolTip(tr("每个相机最近1小时 / 24小时的 NG 画面数"));
    auto *grid = new QGridLayout(m_countsBar);
    for (int camera = 1; camera <= CameraCount; ++camera) {
        auto *label = new QLabel(QStringLiteral("%1  0 / 0").arg(cameraText(camera)));
        label->setObjectName(QStringLiteral("MomentsCount"));
        label->setProperty("active", false);
        grid->addWidget(label, (camera - 1) / CountsPerRow, (camera - 1) % CountsPerRow);
        m_countLabels.append(label);
    }
    layout()->addWidget(m_countsBar);
}

void MomentsPage::initConnections()
{
    MomentReader *reader = m_archive->reader();
    connect(reader, &MomentReader::pictureReady, this, &MomentsPage::takePicture);
    connect(reader, &MomentReader::countsReady, this, &MomentsPage::takeCounts);
    connect(reader, &MomentReader::reasonsReady, this, &MomentsPage::takeReasons);
    connect(m_archive->store(), &MomentStore::kept, this, &MomentsPage::indexChanged);
    connect(m_archive->store(), &MomentStore::evicted, this, &MomentsPage::indexChanged);
    connect(m_model, &MomentListModel::ready, this, &MomentsPage::modelReady);
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] {
        if (isPictureOpen() && m_pictureId == 0)
            showCurrentPicture();
    });
    connect(m_list, &QAbstractItemView::activated, this, &MomentsPage::openCurrent);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MomentsPage::updateExportButton);
    connect(m_cameraFilter, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MomentsPage::applyFilter);
    connect(m_reasonFilter, &QComboBox::currentTextChanged, this, &MomentsPage::applyFilter);
    connect(m_timeFilter, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        const bool custom = m_timeFilter->currentData().toInt() == CustomRange;
        m_fromEdit->setVisible(custom);
        m_toEdit->setVisible(custom);
        applyFilter();
    });
    connect(m_fromEdit, &QDateTimeEdit::dateTimeChanged, this, &MomentsPage::applyFilter);
    connect(m_toEdit, &QDateTimeEdit::dateTimeChanged, this, &MomentsPage::applyFilter);
    connect(m_exportButton, &QPushButton::clicked, this, &MomentsPage::exportSelection);
    connect(m_exporter, &MomentExporter::finished, this, &MomentsPage::exportFinished);
}

MomentFilter MomentsPage::filterAt(qint64 nowMs) const
{
    MomentFilter filter;
    filter.camera = m_cameraFilter->currentData().toInt();
    filter.reason = m_reasonFilter->currentText().trimmed();
    switch (m_timeFilter->currentData().toInt()) {
    case LastHour:
        filter.fromMs = nowMs - HourMs;
        break;
    case LastDay:
        filter.fromMs = nowMs - DayMs;
        break;
    case LastWeek:
        filter.fromMs = nowMs - WeekMs;
        break;
    case CustomRange:
        filter.fromMs = m_fromEdit->dateTime().toMSecsSinceEpoch();
        // The minute shown is the last one included.
        filter.toMs = m_toEdit->dateTime().addSecs(60).toMSecsSinceEpoch() - 1;
        break;
    default:
        break;
    }
    return filter;
}

void MomentsPage::applyFilter()
{
    const MomentFilter filter = filterAt(QDateTime::currentMSecsSinceEpoch());
    if (m_shownOnce && filter == m_model->filter())
        return;
    closePicture();
    m_model->setFilter(filter);
}

void MomentsPage::showCamera(int camera, qint64 id)
{
    m_openWhenListed = id;
    const int index = m_cameraFilter->findData(camera);
    if (index != m_cameraFilter->currentIndex())
        m_cameraFilter->setCurrentIndex(qMax(0, index));
    else
        applyFilter();
    if (id == 0)
        closePicture();
}

void MomentsPage::indexChanged()
{
    if (isVisible())
        m_model->scheduleRefresh();
    else
        m_stale = true;
}

void MomentsPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        m_model->setFilter(filterAt(QDateTime::currentMSecsSinceEpoch()));
    } else if (m_stale) {
        m_model->refresh();
    }
    m_stale = false;
    m_archive->reader()->requestReasons(m_client);
    m_countsTimer->start();
    if (!isPictureOpen())
        m_list->setFocus();
}

void MomentsPage::modelReady()
{
    updateTotal();
    askCounts();
    if (m_openWhenListed == 0)
        return;
    const int row = m_model->rowOf(m_openWhenListed);
    m_openWhenListed = 0;
    if (row < 0)
        return;
    m_list->setCurrentIndex(m_model->index(row));
    m_list->scrollTo(m_model->index(row), QAbstractItemView::PositionAtCenter);
    openCurrent();
}

void MomentsPage::updateTotal()
{
    m_totalLabel->setText(tr("共 %1 条").arg(m_model->rowCount()));
}

void MomentsPage::askCounts()
{
    m_archive->reader()->requestCounts(m_client, QDateTime::currentMSecsSinceEpoch());
}

void MomentsPage::takeCounts(quint64 client, const QVector<int> &lastHour,
                             const QVector<int> &lastDay)
{
    if (client != m_client)
        return;
    for (int i = 0; i < m_countLabels.size() && i < lastHour.size(); ++i) {
        QLabel *label = m_countLabels.at(i);
        label->setText(QStringLiteral("%1  %2 / %3")
                           .arg(cameraText(i + 1))
                           .arg(lastHour.at(i))
                           .arg(lastDay.value(i)));
        const bool active = lastHour.at(i) > 0;
        if (label->property("active").toBool() != active) {
            label->setProperty("active", active);
            label->style()->unpolish(label);
            label->style()->polish(label);
        }
    }
}

void MomentsPage::takeReasons(quint64 client, const QStringList &reasons)
{
    if (client != m_client)
        return;
    const QString typed = m_reasonFilter->currentText();
    const QSignalBlocker blocker(m_reasonFilter);
    m_reasonFilter->clear();
    m_reasonFilter->addItems(reasons);
    m_reasonFilter->setCurrentIndex(-1);
    m_reasonFilter->setEditText(typed);
}

bool MomentsPage::isPictureOpen() const
{
    return m_views->currentIndex() == PicturePage;
}

void MomentsPage::openCurrent()
{
    if (!m_list->currentIndex().isValid())
        return;
    m_views->setCurrentIndex(PicturePage);
    m_picture->setFocus();
    showCurrentPicture();
}

void MomentsPage::closePicture()
{
    if (!isPictureOpen())
        return;
    m_views->setCurrentIndex(ListPage);
    m_pictureId = 0;
    m_picture->setPicture(QImage());
    m_list->setFocus();
}

void MomentsPage::step(int delta)
{
    const int row = qBound(0, m_list->currentIndex().row() + delta, m_model->rowCount() - 1);
    if (row < 0)
        return;
    m_list->setCurrentIndex(m_model->index(row));
    if (isPictureOpen())
        showCurrentPicture();
}

// Called again when rows come in, until the current one is loaded.
void MomentsPage::showCurrentPicture()
{
    const QModelIndex index = m_list->currentIndex();
    if (!index.data(MomentListModel::LoadedRole).toBool()) {
        m_pictureId = 0;
        m_picture->setPicture(QImage(), QStringLiteral("…"));
        m_pictureInfo->clear();
        return;
    }
    const qint64 id = index.data(MomentListModel::IdRole).toLongLong();
    const QString name = index.data(MomentListModel::NameRole).toString();
    const int camera = index.data(MomentListModel::CameraRole).toInt();
    const int stream = index.data(MomentListModel::StreamRole).toInt();
    QStringList info{MomentListModel::timeText(index.data(MomentListModel::TimeRole).toLongLong()),
                     name.isEmpty() ? cameraText(camera)
                                    : cameraText(camera) + QLatin1Char(' ') + name,
                     index.data(MomentListModel::ReasonRole).toString()};
    if (stream == Moment::MainStream || stream == Moment::GridStream) {
        const QSize size = index.data(MomentListModel::SizeRole).toSize();
        info << QStringLiteral("%1 %2×%3")
                    .arg(stream == Moment::MainStream ? tr("主码流") : tr("子码流"))
                    .arg(size.width())
                    .arg(size.height());
    }
    m_pictureInfo->setText(info.join(QStringLiteral("   ·   ")));
    if (id == m_pictureId)
        return;
    m_pictureId = id;
    if (!index.data(MomentListModel::HasPictureRole).toBool()) {
        m_picture->setPicture(QImage(), tr("这次判定时没有新的画面"));
        return;
    }
    // The thumbnail stands in until the full picture is read.
    m_picture->setPicture(index.data(Qt::DecorationRole).value<QImage>(), QStringLiteral("…"));
    m_archive->reader()->requestPicture(m_client, id,
                                        index.data(MomentListModel::FileRole).toString());
}

void MomentsPage::takePicture(quint64 client, qint64 id, const QImage &image)
{
    if (client != m_client || id != m_pictureId)
        return;
    m_picture->setPicture(image, image.isNull() ? tr("画面文件无法读取") : QString());
}

void MomentsPage::keyPressEvent(QKeyEvent *event)
{
    if (isPictureOpen()) {
        switch (event->key()) {
        case Qt::Key_Escape:
            closePicture();
            return;
        case Qt::Key_Left:
        case Qt::Key_Up:
            step(-1);
            return;
        case Qt::Key_Right:
        case Qt::Key_Down:
            step(1);
            return;
        default:
            break;
        }
    } else if (event->key() == Qt::Key_Escape) {
        emit closed();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MomentsPage::updateExportButton()
{
    m_exportButton->setEnabled(!m_exporter->isRunning() &&
                               m_list->selectionModel()->hasSelection());
}

void MomentsPage::exportSelection()
{
    QVector<qint64> ids;
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    for (const QModelIndex &index : rows)
        ids.append(m_model->idAt(index.row()));
    if (ids.isEmpty())
        return;
    const QString target = QFileDialog::getExistingDirectory(
        this, tr("导出到"), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (target.isEmpty() || !m_exporter->start(ids, target))
        return;
    updateExportButton();
    m_statusLabel->setText(tr("正在导出 %1 条……").arg(ids.size()));
    m_statusLabel->show();
}

void MomentsPage::exportFinished(int moments, int pictures, const QString &csvPath,
                                 const QString &error)
{
    updateExportButton();
    m_statusLabel->setProperty("failed", !error.isEmpty());
    m_statusLabel->style()->unpolish(m_statusLabel);
    m_statusLabel->style()->polish(m_statusLabel);
    m_statusLabel->setText(
        error.isEmpty() ? tr("已导出 %1 条、%2 张画面：%3").arg(moments).arg(pictures).arg(csvPath)
                        : tr("导出未完成：%1").arg(error));
    m_statusLabel->show();
}

#pragma once

#include <QImage>
#include <QVector>
#include <QWidget>

#include "moments/momentfilter.h"

class MomentArchive;
class MomentExporter;
class MomentListModel;
class MomentPictureView;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QListView;
class QPushButton;
class QStackedWidget;
class QTimer;

// The NG moments page: filters (camera, reason, time range) and the count of each camera's
// moments in the last hour and day above a list of moments, newest first, with thumbnails.
// Enter or a double click opens the current moment full size with its time, camera and reason;
// there the arrow keys step to the neighbouring moments and Esc returns to the list. Esc on the
// list asks to leave the page (closed()). The selected moments can be exported to a folder.
class MomentsPage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int CameraCount = 16;
    static constexpr int CountsPerRow = 8;
    static constexpr int CountsRefreshMs = 60000;
    static constexpr int CustomRangeDays = 1;

    enum TimeRange { AnyTime, LastHour, LastDay, LastWeek, CustomRange };

    explicit MomentsPage(MomentArchive *archive, QWidget *parent = nullptr);
    ~MomentsPage() override;

    MomentListModel *model() const { return m_model; }
    QListView *listView() const { return m_list; }
    MomentPictureView *pictureView() const { return m_picture; }
    bool isPictureOpen() const;

    // Lists one camera's moments (0: every camera) and opens the moment with the id, when
    // given, once it is listed.
    void showCamera(int camera, qint64 id = 0);
    // The filter the controls describe at nowMs.
    MomentFilter filterAt(qint64 nowMs) const;

public slots:
    void openCurrent();
    void closePicture();
    // Moves the current moment by delta rows, showing it full size when the picture is open.
    void step(int delta);

signals:
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Q_DISABLE_COPY(MomentsPage)

    void initFilters();
    void initCounts();
    void initConnections();
    void applyFilter();
    void indexChanged();
    void modelReady();
    void showCurrentPicture();
    void takePicture(quint64 client, qint64 id, const QImage &image);
    void takeCounts(quint64 client, const QVector<int> &lastHour, const QVector<int> &lastDay);
    void takeReasons(quint64 client, const QStringList &reasons);
    void askCounts();
    void exportSelection();
    void exportFinished(int moments, int pictures, const QString &csvPath, const QString &error);
    void updateExportButton();
    void updateTotal();

    MomentArchive *m_archive;
    const quint64 m_client;
    MomentListModel *m_model = nullptr;
    MomentExporter *m_exporter = nullptr;
    QComboBox *m_cameraFilter = nullptr;
    QComboBox *m_reasonFilter = nullptr;
    QComboBox *m_timeFilter = nullptr;
    QDateTimeEdit *m_fromEdit = nullptr;
    QDateTimeEdit *m_toEdit = nullptr;
    QLabel *m_totalLabel = nullptr;
    QPushButton *m_exportButton = nullptr;
    QWidget *m_countsBar = nullptr;
    QVector<QLabel *> m_countLabels;
    QStackedWidget *m_views = nullptr;
    QListView *m_list = nullptr;
    QWidget *m_picturePage = nullptr;
    MomentPictureView *m_picture = nullptr;
    QLabel *m_pictureInfo = nullptr;
    QLabel *m_statusLabel = nullptr;
    QTimer *m_countsTimer = nullptr;
    bool m_shownOnce = false;
    bool m_stale = false;
    // The moment to open once the list holds it and its row is loaded.
    qint64 m_openWhenListed = 0;
    qint64 m_pictureId = 0;
};

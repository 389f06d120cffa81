#pragma once

#include <QWidget>

class MomentArchive;
class MomentListModel;
class QLabel;
class QListView;
class QModelIndex;
class QPushButton;

// A camera page's row of that camera's last NG moments, newest on the left. A click on one asks
// for it on the moments page; the button asks for all of the camera's moments there. It follows
// the store while it is on screen and catches up when it comes back.
class MomentStrip : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ShownMoments = 8;

    MomentStrip(MomentArchive *archive, int camera, QWidget *parent = nullptr);

    int camera() const { return m_camera; }
    MomentListModel *model() const { return m_model; }
    QListView *listView() const { return m_list; }

signals:
    // id 0: the camera's moments without one opened.
    void openRequested(int camera, qint64 id);

protected:
    void showEvent(QShowEvent *event) override;

private:
    Q_DISABLE_COPY(MomentStrip)

    void indexChanged(int camera);
    void updateEmpty();

    const int m_camera;
    MomentListModel *m_model = nullptr;
    QLabel *m_title = nullptr;
    QListView *m_list = nullptr;
    QLabel *m_emptyLabel = nullptr;
    QPushButton *m_allButton = nullptr;
    bool m_shownOnce = false;
    bool m_stale = false;
};

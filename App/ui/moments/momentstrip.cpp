#include "momentstrip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>

#include "moments/momentarchive.h"
#include "moments/momentlistmodel.h"
#include "moments/momentstore.h"
#include "ui/moments/momentdelegate.h"

namespace
{

constexpr int StripMargin = 4;

} // namespace

MomentStrip::MomentStrip(MomentArchive *archive, int camera, QWidget *parent)
    : QWidget(parent), m_camera(camera)
{
    setObjectName(QStringLiteral("MomentStrip"));
    setAttribute(Qt::WA_StyledBackground);
    m_model = new MomentListModel(archive->reader(), this);

    m_title = new QLabel(tr("NG 画面"));
    m_title->setObjectName(QStringLiteral("MomentStripTitle"));

    auto *delegate = new MomentDelegate(MomentDelegate::Form::Compact, this);
    m_list = new QListView;
    m_list->setObjectName(QStringLiteral("MomentStripList"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(delegate);
    m_list->setFlow(QListView::LeftToRight);
    m_list->setWrapping(false);
    m_list->setUniformItemSizes(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    const int height = delegate->sizeHint(QStyleOptionViewItem(), QModelIndex()).height() +
                       2 * m_list->frameWidth();
    m_list->setFixedHeight(height);

    m_emptyLabel = new QLabel(tr("没有记录"));
    m_emptyLabel->setObjectName(QStringLiteral("MomentStripEmpty"));
    m_emptyLabel->setAlignment(Qt::AlignCenter);
    m_emptyLabel->setFixedHeight(height);

    m_allButton = new QPushButton(tr("全部"));
    m_allButton->setObjectName(QStringLiteral("MomentStripAllButton"));
    m_allButton->setToolTip(tr("在 NG 画面页查看这个相机的全部记录"));

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(StripMargin, StripMargin, StripMargin, StripMargin);
    row->addWidget(m_title, 0);
    row->addWidget(m_list, 1);
    row->addWidget(m_emptyLabel, 1);
    row->addWidget(m_allButton, 0);

    connect(m_list, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        emit openRequested(m_camera, m_model->idAt(index.row()));
    });
    connect(m_allButton, &QPushButton::clicked, this, [this] { emit openRequested(m_camera, 0); });
    connect(archive->store(), &MomentStore::kept, this,
            [this](const Moment &moment) { indexChanged(moment.camera); });
    connect(archive->store(), &MomentStore::evicted, this, [this] { indexChanged(m_camera); });
    connect(m_model, &MomentListModel::ready, this, &MomentStrip::updateEmpty);
    updateEmpty();
}

void MomentStrip::indexChanged(int camera)
{
    if (camera != m_camera)
        return;
    if (isVisible())
        m_model->scheduleRefresh();
    else
        m_stale = true;
}

void MomentStrip::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        MomentFilter filter;
        filter.camera = m_camera;
        filter.limit = ShownMoments;
        m_model->setFilter(filter);
    } else if (m_stale) {
        m_model->refresh();
    }
    m_stale = false;
}

void MomentStrip::updateEmpty()
{
    const bool empty = m_model->rowCount() == 0;
    m_list->setVisible(!empty);
    m_emptyLabel->setVisible(empty);
}

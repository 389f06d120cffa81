#include "sidepanel.h"

#include <QPainter>
#include <QSplitter>
#include <QStyleOption>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/common/ctextedit.h"
#include "ui/mainwindow/funcbuttonwidget.h"
#include "ui/mainwindow/treewidget.h"

namespace
{

// The notes of the log tab until the console logs for real.
const char SampleText[] = QT_TRANSLATE_NOOP(
    "SidePanel",
    "夜班交接时，三号工位的光源亮度略有下降，已按规程重新标定并记录在案，请白班留意。\n"
    "上午抽检的两百件样品中，有三件边缘存在细小毛刺，已隔离等待质检组人员复判。\n"
    "请操作员在更换镜头后重新运行自检程序，确认每一路画面清晰无遮挡、无偏色。\n"
    "若出现连续误报，先检查传送带速度与触发延时是否匹配，仍未解决再联系设备工程师。\n"
    "本周计划停机保养一次，届时所有相机将暂停采集，请各班组提前安排好生产任务。\n");

} // namespace

SidePanel::SidePanel(QWidget *parent) : QWidget(parent)
{
    m_mainLayout = new QVBoxLayout;
    m_splitter = new QSplitter;
    m_splitter->setOrientation(Qt::Vertical);
    m_treeWidget = new TreeWidget;

    m_tabWidget = new QTabWidget;
    m_tabWidget->setMovable(true);
    m_tabWidget->setTabPosition(QTabWidget::South);

    m_functionPage = new QWidget;
    m_functionLayout = new QVBoxLayout;
    const FuncButtonWidget::Buttons buttons = FuncButtonWidget::addButtons(m_functionLayout);
    m_setupButton = buttons.setup;
    m_pauseButton = buttons.pause;
    m_waitButton = buttons.wait;
    m_functionPage->setLayout(m_functionLayout);

    m_logTextEdit = new CTextEdit;
    m_logTextEdit->setObjectName(QStringLiteral("MainWindowLogTextEdit"));
    m_logTextEdit->append(tr(SampleText));

    m_tabWidget->addTab(m_functionPage, tr("功能"));
    m_tabWidget->addTab(m_logTextEdit, tr("日志"));

    m_splitter->addWidget(m_treeWidget);
    m_splitter->addWidget(m_tabWidget);
    m_splitter->setStretchFactor(0, TreeStretch);
    m_splitter->setStretchFactor(1, TabStretch);

    m_mainLayout->addWidget(m_splitter);
    setObjectName(QStringLiteral("LeftPanel"));
    setLayout(m_mainLayout);

    connect(m_treeWidget, &TreeWidget::signalClicked, this, &SidePanel::signalClicked);
}

void SidePanel::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

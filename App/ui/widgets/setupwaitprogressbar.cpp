#include "setupwaitprogressbar.h"

#include "ui/widgets/colorprogressbar.h"

#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSpacerItem>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace
{

constexpr int BarHeight = 60;
constexpr int BrowserHeight = 100;
constexpr int SpacerWidth = 10;
constexpr int SpacerHeight = 20;
constexpr int BarPrecision = 1;

} // namespace

SetupWaitProgressBar::SetupWaitProgressBar(QWidget *parent)
    : QWidget(parent), m_mainLayout(nullptr), m_titleLabel(nullptr), m_progressBar(nullptr),
      m_infoBrowser(nullptr), m_timer(nullptr), m_imageOpacity(1.0f), m_running(false),
      m_captionText(tr("Starting, please wait")), m_dotCount(0)
{
    m_mainLayout = new QVBoxLayout(this);

    m_titleLabel = new QLabel;
    m_titleLabel->setObjectName(QStringLiteral("SetupWaitProgressBarTitleLabel"));
    m_titleLabel->setText(m_captionText);
    m_titleLabel->setAlignment(Qt::AlignHCenter);

    const QGradientStops stops{
        {0.0, QColor(QStringLiteral("#ECF1F3"))},
        {0.5, QColor(QStringLiteral("#868C8E"))},
        {1.0, QColor(QStringLiteral("#1B9ACD"))},
    };

    m_progressBar = new ColorProgressBar(ColorProgressBar::BarGradient);
    m_progressBar->setTextPosition(ColorProgressBar::TextInBubble);
    m_progressBar->setPrecision(BarPrecision);
    m_progressBar->setBackgroundColor(QColor(250, 250, 250));
    m_progressBar->setTextColor(Qt::white);
    m_progressBar->setTipColor(QColor(24, 189, 155));
    m_progressBar->setGradientStops(stops);
    m_progressBar->setValue(0);
    m_progressBar->setFixedHeight(BarHeight);

    m_infoBrowser = new QTextBrowser;
    m_infoBrowser->setFixedHeight(BrowserHeight);
    m_infoBrowser->setObjectName(QStringLiteral("SetupWaitProgressBarInfoTextBrowser"));

    m_mainLayout->addStretch();
    m_mainLayout->addWidget(m_titleLabel);
    m_mainLayout->addWidget(m_progressBar);
    m_mainLayout->addItem(
        new QSpacerItem(SpacerWidth, SpacerHeight, QSizePolicy::Fixed, QSizePolicy::Fixed));
    m_mainLayout->addWidget(m_infoBrowser);
    m_mainLayout->addStretch();

    m_timer = new QTimer(this);
    m_timer->setInterval(StepInterval);

    setFixedSize(WindowWidth, WindowHeight);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);

    connect(m_timer, &QTimer::timeout, this, &SetupWaitProgressBar::slotUpdateValue);
}

SetupWaitProgressBar::~SetupWaitProgressBar()
{
    if (m_timer->isActive())
        m_timer->stop();
}

void SetupWaitProgressBar::start()
{
    m_running = true;
    m_progressBar->setValue(0);
    m_timer->start();
    show();
}

void SetupWaitProgressBar::setValue(int value)
{
    m_progressBar->setValue(value);
}

void SetupWaitProgressBar::setBackgroundImage(const QString &path)
{
    m_backgroundImagePath = path;
    update();
}

void SetupWaitProgressBar::setOpacity(float opacity)
{
    m_imageOpacity = opacity;
    update();
}

void SetupWaitProgressBar::slotUpdateValue()
{
    if (!m_running)
        return;
    const int value = static_cast<int>(m_progressBar->value());
    if (value >= FullCount) {
        m_timer->stop();
        hide();
        m_running = false;
        emit completed();
        return;
    }
    m_progressBar->setValue(value + 1);

    const QString caption = m_captionText + QString(m_dotCount, QLatin1Char('.'));
    m_titleLabel->setText(caption);
    m_infoBrowser->append(caption);

    if (m_dotCount >= MaxDots)
        m_dotCount = 0;
    else
        ++m_dotCount;
}

void SetupWaitProgressBar::paintEvent(QPaintEvent *)
{
    if (m_backgroundImagePath.isEmpty() || !QFileInfo::exists(m_backgroundImagePath))
        return;
    QPainter painter(this);
    painter.setOpacity(m_imageOpacity);
    painter.drawPixmap(rect(), QPixmap(m_backgroundImagePath));
}

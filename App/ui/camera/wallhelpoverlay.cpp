#include "wallhelpoverlay.h"

#include <QEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "wall/wallkeys.h"

namespace
{

QString row(const QString &keys, const QString &what)
{
    return QStringLiteral("<tr><td align=\"right\"><b>%1</b></td><td>&nbsp;&nbsp;%2</td></tr>")
        .arg(keys.toHtmlEscaped(), what.toHtmlEscaped());
}

QString helpText()
{
    QString rows;
    const QList<WallKeys::Binding> bindings = WallKeys::bindings();
    for (const WallKeys::Binding &binding : bindings) {
        if (!binding.text.isEmpty())
            rows += row(QKeySequence(binding.key).toString(QKeySequence::NativeText), binding.text);
    }
    rows += row(QStringLiteral("拖动画面"), QStringLiteral("与目标画面交换通道"));
    rows += row(QStringLiteral("拖动树中的相机"), QStringLiteral("在目标画面显示该通道"));
    rows += row(QStringLiteral("双击画面"), QStringLiteral("单画面 / 恢复布局"));
    rows += row(QStringLiteral("右键"), QStringLiteral("布局菜单"));
    return QStringLiteral("<h3 align=\"center\">快捷键</h3><table>%1</table>").arg(rows);
}

} // namespace

WallHelpOverlay::WallHelpOverlay(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("WallHelpOverlay"));
    m_label = new QLabel(helpText());
    m_label->setTextFormat(Qt::RichText);
    m_label->setAlignment(Qt::AlignCenter);
    // Light on the dark shade whatever the theme says about labels.
    m_label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label, 0, Qt::AlignCenter);
    parent->installEventFilter(this);
    setGeometry(parent->rect());
    hide();
}

QString WallHelpOverlay::text() const
{
    return m_label->text();
}

bool WallHelpOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void WallHelpOverlay::mousePressEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    hide();
}

void WallHelpOverlay::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, ShadeAlpha));
}

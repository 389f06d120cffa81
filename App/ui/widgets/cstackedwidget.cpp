#include "cstackedwidget.h"

#include <QResizeEvent>
#include <QVariantAnimation>

#include <utility>

CStackedWidget::CStackedWidget(QWidget *parent) : QWidget(parent)
{
    // A plain value generator: a property animation on an empty name would write a dynamic
    // property on the stack every frame.
    m_animation = new QVariantAnimation(this);
    m_animation->setDuration(m_duration);
    connect(m_animation, &QVariantAnimation::valueChanged, this, &CStackedWidget::onValueChanged);
    connect(m_animation, &QVariantAnimation::finished, this, &CStackedWidget::onMoveFinished);
}

int CStackedWidget::addWidget(QWidget *widget)
{
    return insertWidget(m_widgets.size(), widget);
}

int CStackedWidget::addLazyWidget(const PageBuilder &builder)
{
    if (!builder)
        return -1;
    const int index = m_widgets.size();
    m_widgets.append(nullptr);
    m_builders.append(builder);
    updateVisibility();
    placePages();
    return index;
}

int CStackedWidget::insertWidget(int index, QWidget *widget)
{
    if (!widget)
        return -1;
    const int existing = m_widgets.indexOf(widget);
    if (existing >= 0)
        return existing;
    if (index < 0 || index > m_widgets.size())
        index = m_widgets.size();
    // The pages the indices name stay the same pages.
    if (!m_widgets.isEmpty()) {
        if (index <= m_currentIndex)
            ++m_currentIndex;
        if (index <= m_lastIndex)
            ++m_lastIndex;
    }
    widget->setParent(this);
    widget->setGeometry(rect());
    m_widgets.insert(index, widget);
    m_builders.insert(index, PageBuilder());
    updateVisibility();
    placePages();
    return index;
}

QWidget *CStackedWidget::build(int index)
{
    QWidget *page = m_widgets.value(index, nullptr);
    if (page || index < 0 || index >= m_widgets.size())
        return page;
    // Taken out first: a builder that asks the stack for this page again gets no second one.
    const PageBuilder builder = std::exchange(m_builders[index], PageBuilder());
    page = builder ? builder() : nullptr;
    if (!page)
        page = new QWidget;
    page->setParent(this);
    page->setGeometry(rect());
    m_widgets[index] = page;
    // A page that is not to show is hidden at once: built while the stack is on screen, it
    // would appear over the current one. One that is to show follows the stack's rule.
    const bool shown = index == m_currentIndex || index == m_lastIndex;
    if (!shown || isVisible())
        page->hide();
    if (shown)
        updateVisibility();
    placePages();
    emit widgetBuilt(index);
    return page;
}

bool CStackedWidget::isBuilt(int index) const
{
    return m_widgets.value(index, nullptr) != nullptr;
}

bool CStackedWidget::buildNextPage()
{
    const int index = m_widgets.indexOf(nullptr);
    if (index < 0)
        return false;
    build(index);
    return true;
}

void CStackedWidget::removeWidget(QWidget *widget)
{
    const int index = m_widgets.indexOf(widget);
    if (index < 0)
        return;
    m_widgets.removeAt(index);
    m_builders.removeAt(index);
    widget->hide();
    // A slide in progress may involve the removed page: settle on the current one.
    m_animation->stop();
    if (m_currentIndex > index || m_currentIndex >= m_widgets.size())
        m_currentIndex = qMax(0, m_currentIndex - 1);
    m_lastIndex = m_currentIndex;
    m_offset = 0;
    updateVisibility();
    placePages();
    emit widgetRemoved(index);
}

int CStackedWidget::indexOf(QWidget *widget) const
{
    return m_widgets.indexOf(widget);
}

int CStackedWidget::count() const
{
    return m_widgets.size();
}

int CStackedWidget::currentIndex() const
{
    return m_currentIndex;
}

QWidget *CStackedWidget::currentWidget() const
{
    return widget(m_currentIndex);
}

QWidget *CStackedWidget::widget(int index) const
{
    // Building a page does not change which page an index names.
    return const_cast<CStackedWidget *>(this)->build(index);
}

void CStackedWidget::setDuration(int milliseconds)
{
    m_duration = qMax(0, milliseconds);
}

void CStackedWidget::setCurrentIndex(int index)
{
    if (index < 0 || index >= m_widgets.size() || index == m_currentIndex)
        return;
    build(index);
    m_lastIndex = m_currentIndex;
    m_currentIndex = index;
    startSlide();
    emit currentChanged(index);
}

void CStackedWidget::setCurrentWidget(QWidget *widget)
{
    // An absent page (-1) and the current one are ignored there.
    setCurrentIndex(m_widgets.indexOf(widget));
}

void CStackedWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    for (QWidget *page : qAsConst(m_widgets)) {
        if (page)
            page->resize(size());
    }
    if (m_animation->state() == QAbstractAnimation::Running) {
        startSlide();
    } else {
        updateVisibility();
        // The parked page follows the new width; left at the old one, a wider stack would
        // show it beside the current page.
        placePages();
    }
}

void CStackedWidget::onValueChanged(const QVariant &value)
{
    m_offset = value.toInt();
    placePages();
}

void CStackedWidget::onMoveFinished() {}

void CStackedWidget::startSlide()
{
    m_animation->stop();
    updateVisibility();

    const int w = width();
    int start = 0;
    int duration = 0;
    if (w > 0) {
        // What is left of the interrupted slide, never more than one width.
        const int travelled = qMin(qAbs(m_offset), w);
        const bool forward = m_lastIndex < m_currentIndex;
        start = forward ? w - travelled : travelled - w;
        duration = int(qint64(qAbs(start)) * m_duration / w);
    }
    m_animation->setDuration(duration);
    m_animation->setStartValue(start);
    m_animation->setEndValue(0);
    m_animation->start();
    // Setting the values may already have delivered the start value, and a slide of duration
    // 0 ends inside start(): place the pages from what the animation holds now.
    m_offset = m_animation->currentValue().toInt();
    placePages();
}

void CStackedWidget::updateVisibility()
{
    for (int i = 0; i < m_widgets.size(); ++i) {
        const bool shown = i == m_lastIndex || i == m_currentIndex;
        // A page that may show is built now; one that may not stays as it is.
        QWidget *page = shown ? build(i) : m_widgets.at(i);
        if (!page)
            continue;
        // While the stack has not been shown, a page never hidden will show with it; showing it
        // now would polish it and all its children in the plain style, only for the style sheet
        // to polish them again.
        if (shown && !isVisible() && !page->testAttribute(Qt::WA_WState_ExplicitShowHide))
            continue;
        page->setVisible(shown);
    }
}

void CStackedWidget::placePages()
{
    QWidget *current = m_widgets.value(m_currentIndex, nullptr);
    if (current)
        current->move(m_offset, 0);
    QWidget *last = m_widgets.value(m_lastIndex, nullptr);
    if (!last || last == current)
        return;
    const int w = width();
    last->move(m_lastIndex < m_currentIndex ? m_offset - w : w + m_offset, 0);
}

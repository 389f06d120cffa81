#pragma once

#include <QList>
#include <QWidget>

#include <functional>

class QVariantAnimation;

// A page stack like QStackedWidget whose page changes slide: the old page leaves and the new
// one enters horizontally. The pages are children kept at the stack's size and moved by hand;
// there is no layout. After a slide the previous page stays visible, parked just outside the
// stack (x = -width after a forward slide, +width after a backward one), where it is clipped.
// A page can be added as a function that builds it: it is built when it is first asked for,
// shown or slid in, or by buildNextPage(), so a stack of many pages shows without building them.
class CStackedWidget : public QWidget
{
    Q_OBJECT

public:
    // Milliseconds for a slide across the full width; shorter distances take proportionally less.
    static constexpr int DefaultDuration = 500;

    using PageBuilder = std::function<QWidget *()>;

    explicit CStackedWidget(QWidget *parent = nullptr);

    int addWidget(QWidget *widget);
    // Adds a page that the builder makes when it is first needed; widget() returns it built.
    int addLazyWidget(const PageBuilder &builder);
    int insertWidget(int index, QWidget *widget);
    void removeWidget(QWidget *widget);

    int indexOf(QWidget *widget) const;
    int count() const;
    int currentIndex() const;
    QWidget *currentWidget() const;
    // Builds the page first when it is not built yet.
    QWidget *widget(int index) const;
    bool isBuilt(int index) const;
    // Builds the first page not built yet; false when every page was built already.
    bool buildNextPage();

    void setDuration(int milliseconds);

signals:
    void currentChanged(int index);
    void widgetRemoved(int index);
    // A page added by its builder has been built and placed in the stack.
    void widgetBuilt(int index);

public slots:
    void setCurrentIndex(int index);
    void setCurrentWidget(QWidget *widget);

protected:
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void onValueChanged(const QVariant &value);
    void onMoveFinished();

private:
    Q_DISABLE_COPY(CStackedWidget)

    void startSlide();
    void updateVisibility();
    void placePages();
    QWidget *build(int index);

    int m_offset = 0;
    int m_currentIndex = 0;
    int m_lastIndex = 0;
    int m_duration = DefaultDuration;
    QVariantAnimation *m_animation = nullptr;
    // A page not built yet is a null entry with its builder at the same index.
    QList<QWidget *> m_widgets;
    QList<PageBuilder> m_builders;
};

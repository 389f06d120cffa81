#pragma once

#include <QList>
#include <QWidget>

class QVariantAnimation;

// A page stack like QStackedWidget whose page changes slide: the old page leaves and the new
// one enters horizontally. The pages are children kept at the stack's size and moved by hand;
// there is no layout. After a slide the previous page stays visible, parked just outside the
// stack (x = -width after a forward slide, +width after a backward one), where it is clipped.
class CStackedWidget : public QWidget
{
    Q_OBJECT

public:
    // Milliseconds for a slide across the full width; shorter distances take proportionally less.
    static constexpr int DefaultDuration = 500;

    explicit CStackedWidget(QWidget *parent = nullptr);

    int addWidget(QWidget *widget);
    int insertWidget(int index, QWidget *widget);
    void removeWidget(QWidget *widget);

    int indexOf(QWidget *widget) const;
    int count() const;
    int currentIndex() const;
    QWidget *currentWidget() const;
    QWidget *widget(int index) const;

    void setDuration(int milliseconds);

signals:
    void currentChanged(int index);
    void widgetRemoved(int index);

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

    int m_offset = 0;
    int m_currentIndex = 0;
    int m_lastIndex = 0;
    int m_duration = DefaultDuration;
    QVariantAnimation *m_animation = nullptr;
    QList<QWidget *> m_widgets;
};

#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPointer>

#include "fancybar.h"
#include "fancytitlebar.h"

class QVBoxLayout;

// A dialog without the window system's frame: a FancyBar on top, the central widget below it,
// and an optional background image painted behind both. exec, done, accept and reject work as
// in QDialog; the bar's close button rejects. setFixedSize fixes the size of the whole dialog,
// bar included.
class FancyDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ResizeBand = 4;

    explicit FancyDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~FancyDialog() override;

    FancyBar *fancyBar() const;

    // The dialog takes the widget over; an earlier central widget is deleted.
    void setCentralWidget(QWidget *widget);
    QWidget *centralWidget() const;

    // Stretched over the whole dialog. A picture that cannot be read paints nothing.
    void setBackgroundImage(const QString &path);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY(FancyDialog)

    FancyBar *m_fancyBar;
    QVBoxLayout *m_layout;
    QPointer<QWidget> m_centralWidget;
    QString m_backgroundPath;
    QPixmap m_background;
};

#pragma once

#include <QPushButton>

// A push button that reports the pointer entering and leaving it: the user's avatar in the
// title bar, whose hover drops the user card down.
class HeadButton : public QPushButton
{
    Q_OBJECT

public:
    HeadButton(const QIcon &icon, const QString &text, QWidget *parent = nullptr);
    explicit HeadButton(const QString &text, QWidget *parent = nullptr);
    explicit HeadButton(QWidget *parent = nullptr);

signals:
    void signalEnter();
    void signalLeave();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
};

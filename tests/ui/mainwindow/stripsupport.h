#pragma once

// Driving the main window's user strip and its windows as a user does.
#include <QAbstractButton>
#include <QApplication>
#include <QTest>

// The first top-level window of the class.
inline QWidget *topLevel(const char *className)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->inherits(className))
            return window;
    }
    return nullptr;
}

// Clicks the buttons under the parent that carry the text; an empty text clicks nothing.
inline void click(QWidget *parent, const QString &text)
{
    for (QAbstractButton *button : parent->findChildren<QAbstractButton *>()) {
        if (!text.isEmpty() && button->text() == text)
            QTest::mouseClick(button, Qt::LeftButton);
    }
}

#include <QRegularExpression>
#include <QtTest>

#include "ui/common/ctextedit.h"
#include "ui/mainwindow/logwidget.h"

class tst_LogWidget : public QObject
{
    Q_OBJECT

private slots:
    void showsSampleLines();
};

// Five lines, numbered in order, each with a date, a time to the millisecond and a sentence.
void tst_LogWidget::showsSampleLines()
{
    LogWidget window;
    auto *log = window.findChild<CTextEdit *>();
    QVERIFY(log);
    static const QRegularExpression line(
        QStringLiteral("^00(\\d) 2023/03/21 10:53:\\d\\d\\.\\d{3} \\S+$"));
    const QStringList lines = log->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch match = line.match(lines.at(i));
        QVERIFY2(match.hasMatch(), qPrintable(lines.at(i)));
        QCOMPARE(match.captured(1).toInt(), i + 1);
    }
}

QTEST_MAIN(tst_LogWidget)
#include "tst_logwidget.moc"

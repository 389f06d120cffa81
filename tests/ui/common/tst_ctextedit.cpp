#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>
#include <QtTest>

#include "../../testsupport.h"
#include "ui/common/ctextedit.h"
#include "ui/common/samplelog.h"

Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

namespace
{

QFont sized(int size, bool pixels = true)
{
    QFont font;
    pixels ? font.setPixelSize(size) : font.setPointSize(size);
    return font;
}

void turnWheel(CTextEdit *edit, int delta, Qt::KeyboardModifiers modifiers)
{
    const QPointF centre(edit->viewport()->width() / 2.0, edit->viewport()->height() / 2.0);
    QWheelEvent event(centre, edit->viewport()->mapToGlobal(centre.toPoint()), QPoint(),
                      QPoint(0, delta), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(edit->viewport(), &event);
}

// A theme's generated style sheet.
QString sheet(const char *theme)
{
    return QString::fromUtf8(
        TestSupport::readFile(QStringLiteral(TEST_CONFIG_DIR "/style/%1/style.css").arg(theme)));
}

// Less of a line than this beyond an edge is no visible cut.
constexpr qreal CutTolerance = 1.0;

// The lines that the viewport shows only in part (more than a pixel of them on both sides of an
// edge), at the scroll position it has.
int cutLines(const CTextEdit &edit)
{
    const int top = edit.verticalScrollBar()->value();
    const int bottom = top + edit.viewport()->height();
    int cut = 0;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        const QRectF box = edit.document()->documentLayout()->blockBoundingRect(block);
        const QTextLayout *layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const qreal lineTop = box.top() + layout->lineAt(i).y();
            const qreal lineBottom = lineTop + layout->lineAt(i).height();
            const auto cutAt = [&](int edge) {
                return lineTop < edge - CutTolerance && lineBottom > edge + CutTolerance;
            };
            if (cutAt(top) || cutAt(bottom))
                ++cut;
        }
    }
    return cut;
}

} // namespace

class tst_CTextEdit : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void zoom_data();
    void zoom();
    void wholeLinesShown_data();
    void wholeLinesShown();
    void keysLeaveLogAlone_data();
    void keysLeaveLogAlone();
};

void tst_CTextEdit::cleanup()
{
    qApp->setStyleSheet(QString());
}

void tst_CTextEdit::zoom_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<bool>("themeChange"); // the theme changes after the wheel turns
    QTest::addColumn<int>("change");       // in pixels, from the size the font renders at
    QTest::addColumn<bool>("scrolls");

    const Qt::KeyboardModifiers ctrl(Qt::ControlModifier);
    const QList<int> down{-120};
    const QList<int> threeDown{-120, -120, -120};
    QTest::newRow("oneNotchDown") << sized(14) << ctrl << down << false << -1 << false;
    QTest::newRow("fontInPoints") << sized(10, false) << ctrl << QList<int>{120} << false << 1
                                  << false;
    QTest::newRow("touchpadShortOfNotch")
        << sized(14) << ctrl << QList<int>{40, 40, 30} << false << 0 << false;
    QTest::newRow("touchpadFullNotch")
        << sized(14) << ctrl << QList<int>{40, 40, 40} << false << 1 << false;
    // Text once shrank to a single unreadable pixel.
    QTest::newRow("floorAtReadableSize") << sized(10) << ctrl << threeDown << false << -2 << false;
    QTest::newRow("smallerFontNotEnlarged") << sized(6) << ctrl << threeDown << false << 0 << false;
    QTest::newRow("ctrlShiftScrolls")
        << sized(14) << (ctrl | Qt::ShiftModifier) << down << false << 0 << true;
    QTest::newRow("plainWheelScrolls")
        << sized(14) << Qt::KeyboardModifiers() << down << false << 0 << true;
    // A theme change once put the theme's font size back.
    QTest::newRow("zoomKeptOverThemeChange")
        << sized(14) << ctrl << QList<int>{120, 120, 120} << true << 3 << false;
}

void tst_CTextEdit::zoom()
{
    QFETCH(QFont, font);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QList<int>, deltas);
    QFETCH(bool, themeChange);
    QFETCH(int, change);
    QFETCH(bool, scrolls);

    if (themeChange)
        qApp->setStyleSheet(sheet("dark_blue"));
    CTextEdit edit;
    edit.setFont(font);
    edit.resize(200, 100);
    edit.setPlainText(QStringLiteral("日志\n").repeated(200));
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));

    const int before = QFontInfo(edit.font()).pixelSize();
    for (int delta : deltas)
        turnWheel(&edit, delta, modifiers);
    if (themeChange) {
        qApp->setStyleSheet(sheet("light_green"));
        QVERIFY(edit.styleSheet().isEmpty() && !qApp->styleSheet().isEmpty());
    }
    QCOMPARE(QFontInfo(edit.font()).pixelSize(), before + change);
    QCOMPARE(edit.verticalScrollBar()->value() > 0, scrolls);
}

// The camera page's log box at 1366x768 once showed three and a half lines, the first one cut.
void tst_CTextEdit::wholeLinesShown_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<QString>("theme"); // empty: no style sheet

    QTest::newRow("cameraPageAt1366x768") << 80 << 0 << "dark_blue";
    QTest::newRow("lightThemeFrame") << 97 << 0 << "light_green";
    QTest::newRow("plainSmall") << 71 << 12 << "";
    QTest::newRow("plainLargeFont") << 130 << 19 << "";
    QTest::newRow("tallerThanText") << 400 << 13 << "";
}

void tst_CTextEdit::wholeLinesShown()
{
    QFETCH(int, height);
    QFETCH(int, pixelSize);
    QFETCH(QString, theme);

    if (!theme.isEmpty())
        qApp->setStyleSheet(sheet(qPrintable(theme)));
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *edit = new CTextEdit;
    edit->setObjectName(QStringLiteral("MainWindowLogTextEdit"));
    if (pixelSize)
        edit->setFont(sized(pixelSize));
    edit->append(SampleLog::text());
    edit->setFixedHeight(height);
    layout->addWidget(edit);
    window.resize(600, height + 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QScrollBar *bar = edit->verticalScrollBar();
    QCOMPARE(cutLines(*edit), 0); // at the end, where appending leaves it
    bar->setValue(0);
    QCOMPARE(cutLines(*edit), 0);
    turnWheel(edit, -CTextEdit::WheelNotch, Qt::NoModifier);
    QCOMPARE(cutLines(*edit), 0);
}

// The log boxes once took typed text and Tab characters into the operator's log and kept the
// focus on Tab.
void tst_CTextEdit::keysLeaveLogAlone_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("focusLeaves");

    const Qt::KeyboardModifiers none;
    QTest::newRow("letter") << int(Qt::Key_A) << none << false;
    QTest::newRow("enter") << int(Qt::Key_Return) << none << false;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << none << false;
    QTest::newRow("delete") << int(Qt::Key_Delete) << none << false;
    QTest::newRow("paste") << int(Qt::Key_V) << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
    QTest::newRow("tabLeaves") << int(Qt::Key_Tab) << none << true;
    QTest::newRow("backtabLeaves")
        << int(Qt::Key_Backtab) << Qt::KeyboardModifiers(Qt::ShiftModifier) << true;
}

void tst_CTextEdit::keysLeaveLogAlone()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, focusLeaves);

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *before = new QLineEdit;
    auto *edit = new CTextEdit;
    auto *after = new QLineEdit;
    layout->addWidget(before);
    layout->addWidget(edit);
    layout->addWidget(after);
    edit->setPlainText(QStringLiteral("001 日志"));
    QApplication::clipboard()->setText(QStringLiteral("粘贴"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    edit->moveCursor(QTextCursor::End);

    QTest::keyClick(edit, Qt::Key(key), modifiers);
    QCOMPARE(edit->toPlainText(), QStringLiteral("001 日志"));
    QCOMPARE(!edit->hasFocus(), focusLeaves);
}

QTEST_MAIN(tst_CTextEdit)
#include "tst_ctextedit.moc"

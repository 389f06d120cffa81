#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "../testsupport.h"
#include "common/config/setupconfig.h"
#include "wall/wallarrangement.h"

namespace
{

const QByteArray Natural = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16";
// The natural order after its first channel; mid(2): after its first two.
const QByteArray Tail = " 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16";

} // namespace

class tst_WallArrangement : public QObject
{
    Q_OBJECT

private slots:
    void storedValue_data();
    void storedValue();
};

// The stored arrangement as the operator may have left it in the INI file: a permutation of the
// channels is used as it is and the file is left alone; anything else is reported and replaced
// by the natural order, in the file too, as an impossible stored layout is.
void tst_WallArrangement::storedValue_data()
{
    QTest::addColumn<QByteArray>("line");    // the line in [Camera]; empty: none
    QTest::addColumn<QByteArray>("inForce"); // the channels in position order; empty: repaired

    QTest::newRow("missing") << QByteArray() << Natural;
    QTest::newRow("natural") << "Arrangement=" + Natural << Natural;
    QTest::newRow("firstTwoSwapped") << "Arrangement=2 1" + Tail.mid(2) << "2 1" + Tail.mid(2);
    QTest::newRow("handWrittenCommas")
        << QByteArray("Arrangement=5, 2, 3, 4, 1, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16")
        << QByteArray("5 2 3 4 1 6 7 8 9 10 11 12 13 14 15 16");
    QTest::newRow("extraBlanks")
        << QByteArray("Arrangement=\"  16 2 3 4 5 6 7 8 9 10 11 12 13 14 15   1 \"")
        << QByteArray("16 2 3 4 5 6 7 8 9 10 11 12 13 14 15 1");
    QTest::newRow("empty") << QByteArray("Arrangement=") << QByteArray();
    QTest::newRow("fifteenEntries")
        << QByteArray("Arrangement=1 2 3 4 5 6 7 8 9 10 11 12 13 14 15") << QByteArray();
    QTest::newRow("seventeenEntries") << "Arrangement=" + Natural + " 1" << QByteArray();
    QTest::newRow("channelTwice") << "Arrangement=1 1" + Tail.mid(2) << QByteArray();
    QTest::newRow("channelZero") << "Arrangement=0" + Tail << QByteArray();
    QTest::newRow("channelSeventeen") << "Arrangement=17" + Tail << QByteArray();
    QTest::newRow("notANumber") << "Arrangement=x" + Tail << QByteArray();
    // 4294967297 would wrap to 1 in 32 bits.
    QTest::newRow("wrapsTo32Bits") << "Arrangement=4294967297" + Tail << QByteArray();
}

void tst_WallArrangement::storedValue()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, inForce);

    QTemporaryDir appDir;
    QVERIFY(appDir.isValid());
    const QString ini = appDir.filePath(QStringLiteral("config/SetupConfig.ini"));
    const QByteArray content =
        "[Camera]\nIndex=0\nType=16\n" + line + "\n\n[Config]\nTheme=dark_blue\n";
    QVERIFY(TestSupport::writeFile(ini, content));
    SetupConfig::instance()->setAppDir(appDir.path());

    if (inForce.isEmpty())
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral(
                                 "^WallArrangement: the stored arrangement Camera/Arrangement .*; "
                                 "showing the channels in their natural order\\.$")));
    const WallArrangement arrangement = WallArrangement::load();
    QStringList channels;
    for (int position = 0; position < WallArrangement::ChannelCount; ++position)
        channels << QString::number(arrangement.channelAt(position));
    const QByteArray expected = inForce.isEmpty() ? Natural : inForce;
    QCOMPARE(channels.join(QLatin1Char(' ')).toLatin1(), expected);
    QCOMPARE(arrangement.isNatural(), expected == Natural);
    // What another reader of the INI file finds; the layout pair beside it is left alone.
    const QSettings file(ini, QSettings::IniFormat);
    if (inForce.isEmpty())
        QCOMPARE(file.value(QStringLiteral("Camera/Arrangement")).toByteArray(), Natural);
    else
        QCOMPARE(TestSupport::readFile(ini), content);
    QCOMPARE(SetupConfig::instance()->camera(), qMakePair(16, 0));
}

QTEST_MAIN(tst_WallArrangement)
#include "tst_wallarrangement.moc"

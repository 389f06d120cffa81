#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "../testsupport.h"
#include "common/config/setupconfig.h"
#include "wall/wallarrangement.h"

namespace
{

const QString Natural = QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16");

// What another reader of the INI file finds under the key, as text; "missing" without it.
QString storedText(const QString &iniPath)
{
    QSettings settings(iniPath, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    const QVariant value = settings.value(QStringLiteral("Camera/Arrangement"));
    if (!value.isValid())
        return QStringLiteral("missing");
    return value.type() == QVariant::StringList ? value.toStringList().join(QLatin1Char(','))
                                                : value.toString();
}

} // namespace

class tst_WallArrangement : public QObject
{
    Q_OBJECT

private slots:
    void storedValue_data();
    void storedValue();
};

// The stored arrangement as the operator may have left it in the INI file: a permutation of the
// channels is used as it is; anything else is reported and replaced by the natural order, in
// the file too, as an impossible stored layout is.
void tst_WallArrangement::storedValue_data()
{
    QTest::addColumn<QByteArray>("line"); // the line in [Camera]; empty: none
    QTest::addColumn<QString>("inForce"); // the channels in position order
    QTest::addColumn<QString>("inFile");  // what the file holds afterwards

    const QByteArray natural = Natural.toLatin1();
    QTest::newRow("missing") << QByteArray() << Natural << "missing";
    QTest::newRow("natural") << "Arrangement=" + natural << Natural << Natural;
    QTest::newRow("firstTwoSwapped")
        << QByteArray("Arrangement=2 1 3 4 5 6 7 8 9 10 11 12 13 14 15 16")
        << "2 1 3 4 5 6 7 8 9 10 11 12 13 14 15 16"
        << "2 1 3 4 5 6 7 8 9 10 11 12 13 14 15 16";
    QTest::newRow("handWrittenCommas")
        << QByteArray("Arrangement=5, 2, 3, 4, 1, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16")
        << "5 2 3 4 1 6 7 8 9 10 11 12 13 14 15 16"
        << "5,2,3,4,1,6,7,8,9,10,11,12,13,14,15,16";
    QTest::newRow("extraBlanks")
        << QByteArray("Arrangement=\"  16 2 3 4 5 6 7 8 9 10 11 12 13 14 15   1 \"")
        << "16 2 3 4 5 6 7 8 9 10 11 12 13 14 15 1"
        << "  16 2 3 4 5 6 7 8 9 10 11 12 13 14 15   1 ";
    QTest::newRow("empty") << QByteArray("Arrangement=") << Natural << Natural;
    QTest::newRow("fifteenEntries")
        << QByteArray("Arrangement=1 2 3 4 5 6 7 8 9 10 11 12 13 14 15") << Natural << Natural;
    QTest::newRow("seventeenEntries")
        << QByteArray("Arrangement=1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 1") << Natural << Natural;
    QTest::newRow("channelTwice") << QByteArray(
                                         "Arrangement=1 1 3 4 5 6 7 8 9 10 11 12 13 14 15 16")
                                  << Natural << Natural;
    QTest::newRow("channelZero") << QByteArray("Arrangement=0 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16")
                                 << Natural << Natural;
    QTest::newRow("channelSeventeen")
        << QByteArray("Arrangement=17 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16") << Natural << Natural;
    QTest::newRow("notANumber") << QByteArray("Arrangement=x 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16")
                                << Natural << Natural;
    // 4294967297 would wrap to 1 in 32 bits.
    QTest::newRow("wrapsTo32Bits")
        << QByteArray("Arrangement=4294967297 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16") << Natural
        << Natural;
}

void tst_WallArrangement::storedValue()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, inForce);
    QFETCH(QString, inFile);

    QTemporaryDir appDir;
    QVERIFY(appDir.isValid());
    const QString ini = appDir.filePath(QStringLiteral("config/SetupConfig.ini"));
    QVERIFY(TestSupport::writeFile(ini, "[Camera]\nIndex=0\nType=16\n" + line +
                                            "\n\n[Config]\nTheme=dark_blue\n"));
    SetupConfig::instance()->setAppDir(appDir.path());

    const bool repaired = !line.isEmpty() && inFile == Natural && line != "Arrangement=" + Natural;
    if (repaired)
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral(
                                 "^WallArrangement: the stored arrangement Camera/Arrangement .*; "
                                 "showing the channels in their natural order\\.$")));
    const WallArrangement arrangement = WallArrangement::load();
    QStringList channels;
    for (int position = 0; position < WallArrangement::ChannelCount; ++position)
        channels << QString::number(arrangement.channelAt(position));
    QCOMPARE(channels.join(QLatin1Char(' ')), inForce);
    QCOMPARE(arrangement.isNatural(), inForce == Natural);
    QCOMPARE(storedText(ini), inFile);
    // The layout pair beside it is left alone.
    QCOMPARE(SetupConfig::instance()->camera(), qMakePair(16, 0));
}

QTEST_MAIN(tst_WallArrangement)
#include "tst_wallarrangement.moc"

// The [Moments] entries as an operator may write them by hand.
#include <QtTest>

#include "moments/momentsettings.h"

class tst_MomentSettings : public QObject
{
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
};

void tst_MomentSettings::entries_data()
{
    QTest::addColumn<QVariant>("megabytes");
    QTest::addColumn<QVariant>("days");
    QTest::addColumn<QVariant>("quality");
    QTest::addColumn<int>("expectedMegabytes");
    QTest::addColumn<int>("expectedDays");
    QTest::addColumn<int>("expectedQuality");
    QTest::addColumn<int>("warnings");

    const QVariant none;
    const auto text = [](const char *value) { return QVariant(QString::fromLatin1(value)); };
    QTest::newRow("missing") << none << none << none << 500 << 30 << 85 << 0;
    QTest::newRow("given") << text("2000") << text("7") << text("60") << 2000 << 7 << 60 << 0;
    QTest::newRow("spaces") << text(" 64 ") << text("1 ") << text(" 100") << 64 << 1 << 100 << 0;
    QTest::newRow("zero") << text("0") << text("0") << text("0") << 500 << 30 << 85 << 3;
    QTest::newRow("negative") << text("-5") << text("-1") << text("-80") << 500 << 30 << 85 << 3;
    QTest::newRow("notNumbers") << text("lots") << text("1.5") << text("high") << 500 << 30 << 85
                                << 3;
    QTest::newRow("tooLarge") << text("99999999") << text("4000") << text("101") << 500 << 30 << 85
                              << 3;
    QTest::newRow("empty") << text("") << text("") << text("") << 500 << 30 << 85 << 3;
}

void tst_MomentSettings::entries()
{
    QFETCH(QVariant, megabytes);
    QFETCH(QVariant, days);
    QFETCH(QVariant, quality);
    QFETCH(int, expectedMegabytes);
    QFETCH(int, expectedDays);
    QFETCH(int, expectedQuality);
    QFETCH(int, warnings);
    for (int i = 0; i < warnings; ++i)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Moments: ")));
    const MomentSettings settings = MomentSettings::parse(megabytes, days, quality);
    QCOMPARE(settings.maxBytes, expectedMegabytes * MomentSettings::BytesPerMegabyte);
    QCOMPARE(settings.maxAgeMs, expectedDays * MomentSettings::MsPerDay);
    QCOMPARE(settings.jpegQuality, expectedQuality);
}

QTEST_MAIN(tst_MomentSettings)
#include "tst_momentsettings.moc"

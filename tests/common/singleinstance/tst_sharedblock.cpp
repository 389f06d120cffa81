#include <QCoreApplication>
#include <QSharedMemory>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

#include "common/singleinstance/sharedblock.h"

class TstSharedBlock : public QObject
{
    Q_OBJECT

private slots:
    void openTakesWhatItFinds_data();
    void openTakesWhatItFinds();
};

// What a start finds at the block's key decides what it may read there; a block that exists
// keeps its record, whoever reads it.
void TstSharedBlock::openTakesWhatItFinds_data()
{
    QTest::addColumn<int>("existingSize"); // 0: no segment yet
    QTest::addColumn<bool>("primaryOnRecord");
    QTest::addColumn<int>("opened");
    QTest::addColumn<bool>("primaryAfter");

    const int whole = int(sizeof(InstanceBlock));
    QTest::newRow("freshKey") << 0 << false << int(SharedBlock::Opened::Created) << false;
    QTest::newRow("primaryRunning") << whole << true << int(SharedBlock::Opened::Attached) << true;
    QTest::newRow("emptyRecord") << whole << false << int(SharedBlock::Opened::Attached) << false;
    // Someone else's segment under the key would be read past its end.
    QTest::newRow("smallerSegment") << 1 << false << int(SharedBlock::Opened::TooSmall) << false;
}

void TstSharedBlock::openTakesWhatItFinds()
{
    QFETCH(int, existingSize);
    QFETCH(bool, primaryOnRecord);
    QFETCH(int, opened);
    QFETCH(bool, primaryAfter);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString keyFile = folder.filePath(QStringLiteral("key"));
    QSharedMemory existing;
    existing.setNativeKey(keyFile);
    if (existingSize > 0) {
        QVERIFY2(existing.create(existingSize), qPrintable(existing.errorString()));
        InstanceBlock record{};
        record.primaryPid = -1;
        if (primaryOnRecord) {
            record.primary = 1;
            record.primaryPid = QCoreApplication::applicationPid();
        }
        record.checksum = SharedBlock::computeChecksum(record);
        if (existingSize >= int(sizeof(record)))
            std::memcpy(existing.data(), &record, sizeof(record));
    }

    SharedBlock block(keyFile, folder.filePath(QStringLiteral("server")));
    QVERIFY(block.lock());
    QCOMPARE(int(block.open()), opened);
    if (opened != int(SharedBlock::Opened::TooSmall)) {
        QVERIFY(block.isConsistent());
        QCOMPARE(block.hasPrimary(), primaryAfter);
        QCOMPARE(block.primaryPid(),
                 primaryAfter ? QCoreApplication::applicationPid() : qint64(-1));
    }
    QVERIFY(block.unlock());
}

QTEST_GUILESS_MAIN(TstSharedBlock)

#include "tst_sharedblock.moc"

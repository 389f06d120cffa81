#include <QtTest>

#include "common/singleinstance/instanceprotocol.h"
#include "instancehelper.h"
#include "wireframes.h"

class TstInstanceProtocol : public QObject
{
    Q_OBJECT

private slots:
    void initBodyWireFormat();
};

void TstInstanceProtocol::initBodyWireFormat()
{
    const QString name = groupBlockName(uniqueText("wire"));
    const QByteArray body = InstanceProtocol::encodeInitBody(name, 2, 7);
    QCOMPARE(body, initBody(name.toLatin1(), 2, 7));
    QCOMPARE(body.size(), 55);

    quint8 kind = 0;
    quint32 id = 0;
    QVERIFY(InstanceProtocol::decodeInitBody(body, name, &kind, &id));
    QCOMPARE(kind, quint8(2));
    QCOMPARE(id, quint32(7));
}

QTEST_GUILESS_MAIN(TstInstanceProtocol)

#include "tst_instanceprotocol.moc"

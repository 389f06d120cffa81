#include <QtTest>

#include "language/languagechoice.h"

class tst_LanguageChoice : public QObject
{
    Q_OBJECT

private slots:
    void resolve_data();
    void resolve();
};

void tst_LanguageChoice::resolve_data()
{
    QTest::addColumn<QVariant>("setting");
    QTest::addColumn<QStringList>("system");
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("understood");
    // The entry the language menu shows checked.
    QTest::addColumn<QString>("menuEntry");

    const QString zh = QStringLiteral("zh_CN");
    const QString en = QStringLiteral("en");
    const QString sys = QStringLiteral("system");
    const QStringList english{QStringLiteral("en-US")};

    // The texts stay as written unless someone asks otherwise, whatever the system speaks.
    QTest::newRow("missingOnEnglishSystem") << QVariant() << english << zh << true << zh;
    QTest::newRow("emptyIsMissing") << QVariant(QString()) << english << zh << true << zh;
    QTest::newRow("blanksAreMissing")
        << QVariant(QStringLiteral("  ")) << english << zh << true << zh;
    QTest::newRow("chinese") << QVariant(zh) << english << zh << true << zh;
    QTest::newRow("english") << QVariant(en) << QStringList{QStringLiteral("zh-CN")} << en << true
                             << en;
    QTest::newRow("englishOtherCase")
        << QVariant(QStringLiteral("EN")) << QStringList() << en << true << en;
    QTest::newRow("chineseOtherCase")
        << QVariant(QStringLiteral("zh_cn")) << english << zh << true << zh;
    QTest::newRow("englishWithBlanks")
        << QVariant(QStringLiteral(" en ")) << QStringList() << en << true << en;

    QTest::newRow("systemBritish")
        << QVariant(sys) << QStringList{QStringLiteral("en-GB")} << en << true << sys;
    QTest::newRow("systemPlainEnglish")
        << QVariant(sys) << QStringList{QStringLiteral("en")} << en << true << sys;
    QTest::newRow("systemChinese")
        << QVariant(sys) << QStringList{QStringLiteral("zh-CN")} << zh << true << sys;
    QTest::newRow("systemTraditionalChinese")
        << QVariant(sys) << QStringList{QStringLiteral("zh-TW")} << zh << true << sys;
    QTest::newRow("systemGermanIsChinese")
        << QVariant(sys) << QStringList{QStringLiteral("de-DE")} << zh << true << sys;
    QTest::newRow("systemGermanThenEnglish")
        << QVariant(sys) << QStringList{QStringLiteral("de-DE"), QStringLiteral("en-GB")} << en
        << true << sys;
    QTest::newRow("systemChineseBeforeEnglish")
        << QVariant(sys) << QStringList{QStringLiteral("zh-CN"), QStringLiteral("en-US")} << zh
        << true << sys;
    QTest::newRow("systemCLocale")
        << QVariant(sys) << QStringList{QStringLiteral("C")} << zh << true << sys;
    QTest::newRow("systemNone") << QVariant(sys) << QStringList() << zh << true << sys;
    QTest::newRow("systemOtherCase")
        << QVariant(QStringLiteral("System")) << english << en << true << sys;

    // Hand-edited values the console does not know: Chinese, and a line on the log.
    QTest::newRow("unknownLanguage")
        << QVariant(QStringLiteral("fr")) << english << zh << false << zh;
    QTest::newRow("localeSpelling")
        << QVariant(QStringLiteral("en_US")) << english << zh << false << zh;
    // "Language=en, zh_CN" reads back from the file as a list.
    QTest::newRow("list") << QVariant(QStringList{en, zh}) << english << zh << false << zh;
    QTest::newRow("number") << QVariant(1) << english << zh << false << zh;
}

void tst_LanguageChoice::resolve()
{
    QFETCH(QVariant, setting);
    QFETCH(QStringList, system);
    QFETCH(QString, language);
    QFETCH(bool, understood);
    QFETCH(QString, menuEntry);

    const LanguageChoice::Result result = LanguageChoice::resolve(setting, system);
    QCOMPARE(result.language, language);
    QCOMPARE(result.understood, understood);
    QCOMPARE(LanguageChoice::normalisedSetting(setting), menuEntry);
}

QTEST_GUILESS_MAIN(tst_LanguageChoice)
#include "tst_languagechoice.moc"

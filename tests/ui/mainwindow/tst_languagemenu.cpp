#include <QtTest>
#include <QtWidgets>

#include "common/config/setupconfig.h"
#include "language/languagechoice.h"
#include "ui/mainwindow/languagemenu.h"

#include "../../testsupport.h"

class tst_LanguageMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void showsStoredChoice_data();
    void showsStoredChoice();
    void storesChoice_data();
    void storesChoice();

private:
    // Writes the INI file with the theme and, unless null, the language, and reads it in.
    void store(const QString &language);

    QTemporaryDir m_dir;
};

void tst_LanguageMenu::initTestCase()
{
    QVERIFY(m_dir.isValid());
    SetupConfig::instance()->setAppDir(m_dir.path());
}

void tst_LanguageMenu::store(const QString &language)
{
    QByteArray ini = "[Config]\nTheme=dark_green\n";
    if (!language.isNull())
        ini += "Language=" + language.toUtf8() + '\n';
    QVERIFY(TestSupport::writeFile(SetupConfig::instance()->iniFilePath(), ini));
    SetupConfig::instance()->load();
}

void tst_LanguageMenu::showsStoredChoice_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("checked");
    QTest::newRow("missing") << QString() << QStringLiteral("zh_CN");
    QTest::newRow("chinese") << QStringLiteral("zh_CN") << QStringLiteral("zh_CN");
    QTest::newRow("english") << QStringLiteral("en") << QStringLiteral("en");
    QTest::newRow("system") << QStringLiteral("system") << QStringLiteral("system");
    QTest::newRow("englishOtherCase") << QStringLiteral("En") << QStringLiteral("en");
    QTest::newRow("unknown") << QStringLiteral("klingon") << QStringLiteral("zh_CN");
    QTest::newRow("list") << QStringLiteral("en, zh_CN") << QStringLiteral("zh_CN");
}

void tst_LanguageMenu::showsStoredChoice()
{
    QFETCH(QString, stored);
    QFETCH(QString, checked);
    store(stored);
    LanguageMenu menu;
    QStringList checkedEntries;
    const QList<QAction *> actions = menu.actions();
    for (QAction *action : actions) {
        if (action->isChecked())
            checkedEntries << action->data().toString();
    }
    QCOMPARE(checkedEntries, QStringList{checked});
    // One entry per language, and the line that says when a choice takes effect.
    QCOMPARE(menu.actionFor(checked)->isCheckable(), true);
    QVERIFY(std::any_of(actions.cbegin(), actions.cend(), [](QAction *action) {
        return !action->isEnabled() && !action->isSeparator() && !action->text().isEmpty();
    }));
}

void tst_LanguageMenu::storesChoice_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("englishOverMissing") << QString() << QStringLiteral("en");
    QTest::newRow("chineseOverEnglish") << QStringLiteral("en") << QStringLiteral("zh_CN");
    QTest::newRow("systemOverUnknown") << QStringLiteral("fr") << QStringLiteral("system");
    QTest::newRow("sameAgain") << QStringLiteral("en") << QStringLiteral("en");
}

void tst_LanguageMenu::storesChoice()
{
    QFETCH(QString, before);
    QFETCH(QString, chosen);
    store(before);
    LanguageMenu menu;
    QSignalSpy spy(&menu, &LanguageMenu::chosen);
    QAction *action = menu.actionFor(chosen);
    QVERIFY(action);
    action->trigger();

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), chosen);
    const QString language = spy.at(0).at(1).toString();
    QVERIFY(language == LanguageChoice::chinese() || language == LanguageChoice::english());
    if (chosen != LanguageChoice::system())
        QCOMPARE(language, chosen);
    QVERIFY(action->isChecked());
    // On disk at once, beside the entries that were there.
    QSettings ini(SetupConfig::instance()->iniFilePath(), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("Config/Language")).toString(), chosen);
    QCOMPARE(ini.value(QStringLiteral("Config/Theme")).toString(), QStringLiteral("dark_green"));
    // A menu built afterwards, as at the next start, shows the choice.
    LanguageMenu next;
    QVERIFY(next.actionFor(chosen)->isChecked());
}

QTEST_MAIN(tst_LanguageMenu)
#include "tst_languagemenu.moc"

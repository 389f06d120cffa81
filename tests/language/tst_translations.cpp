#include <QtCharts>
#include <QtTest>
#include <QtWidgets>

#include <functional>

#include "common/config/setupconfig.h"
#include "language/languagechoice.h"
#include "language/translations.h"
#include "mainobject.h"
#include "ui/camera/cameraparam.h"
#include "ui/chart/average/averagechart.h"
#include "ui/common/cmessagebox.h"
#include "ui/login/loginwidget.h"
#include "ui/mainwindow/languagemenu.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/station/stationfeedindicator.h"
#include "ui/theme/thememanager.h"
#include "ui/widgets/cstackedwidget.h"

#include "../testsupport.h"

QT_CHARTS_USE_NAMESPACE

// The English console: every window and page built with the English catalogue installed shows
// no Chinese character anywhere an operator reads (texts, tooltips, placeholders, items, tabs,
// menus, window titles, charts); and the catalogue holds a finished English text for every
// text of the sources, with the same placeholders.
class tst_Translations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void englishShowsNoChinese_data();
    void englishShowsNoChinese();
    void catalogueCoversEveryText_data();
    void catalogueCoversEveryText();
    void noChineseOutsideTranslation_data();
    void noChineseOutsideTranslation();
    void textsFitSmallScreen_data();
    void textsFitSmallScreen();
    void qtDialogsFollow_data();
    void qtDialogsFollow();

private:
    QTemporaryDir m_dir;
    Translations m_translations;
    std::unique_ptr<MainObject> m_mainObject;
    std::vector<std::unique_ptr<QWidget>> m_extra;
    // What each row of the English walk reads: a window, or what a step opens or shows.
    std::vector<std::function<QList<QPair<QString, QString>>()>> m_probes;
};

namespace
{

using Texts = QList<QPair<QString, QString>>; // where, text

bool hasChinese(const QString &text)
{
    // CJK radicals, punctuation, kana, ideographs (with extension A and the compatibility
    // block) and the full-width forms ("：", "，").
    static const QRegularExpression cjk(QStringLiteral(
        "[\\x{2E80}-\\x{2FFF}\\x{3000}-\\x{30FF}\\x{3100}-\\x{312F}\\x{3400}-\\x{4DBF}"
        "\\x{4E00}-\\x{9FFF}\\x{F900}-\\x{FAFF}\\x{FF00}-\\x{FFEF}]"));
    return cjk.match(text).hasMatch();
}

QString nameOf(const QObject *object)
{
    return QStringLiteral("%1#%2").arg(QLatin1String(object->metaObject()->className()),
                                       object->objectName());
}

void add(Texts &texts, const QObject *object, const QString &what, const QString &text)
{
    if (!text.isEmpty())
        texts << qMakePair(nameOf(object) + QLatin1Char('.') + what, text);
}

// Every string property of the object (text, title, toolTip, placeholderText, windowTitle,
// plainText, label, name, ...), but the ones no operator reads.
void addProperties(Texts &texts, const QObject *object)
{
    static const QSet<QByteArray> unread{"objectName", "styleSheet",     "html",
                                         "inputMask",  "windowFilePath", "textColor",
                                         "fillColor",  "labelFormat"};
    const QMetaObject *meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        const int type = property.userType();
        if (!property.isReadable() || unread.contains(property.name()) ||
            (type != QMetaType::QString && type != QMetaType::QStringList))
            continue;
        add(texts, object, QLatin1String(property.name()),
            property.read(object).toStringList().join(QLatin1Char('|')));
    }
}

void addModel(Texts &texts, const QObject *owner, const QAbstractItemModel *model,
              const QModelIndex &parent = QModelIndex())
{
    static const int roles[] = {Qt::DisplayRole, Qt::ToolTipRole, Qt::StatusTipRole,
                                Qt::WhatsThisRole};
    if (!parent.isValid()) {
        for (int role : roles) {
            for (int c = 0; c < model->columnCount(); ++c)
                add(texts, owner, QStringLiteral("header"),
                    model->headerData(c, Qt::Horizontal, role).toString());
            for (int r = 0; r < model->rowCount(); ++r)
                add(texts, owner, QStringLiteral("header"),
                    model->headerData(r, Qt::Vertical, role).toString());
        }
    }
    for (int r = 0; r < model->rowCount(parent); ++r) {
        for (int c = 0; c < model->columnCount(parent); ++c) {
            const QModelIndex index = model->index(r, c, parent);
            for (int role : roles)
                add(texts, owner, QStringLiteral("item"), index.data(role).toString());
            if (c == 0 && model->hasChildren(index))
                addModel(texts, owner, model, index);
        }
    }
}

void addChart(Texts &texts, QChart *chart)
{
    addProperties(texts, chart);
    const QList<QAbstractSeries *> series = chart->series();
    for (QAbstractSeries *one : series) {
        addProperties(texts, one);
        if (auto *pie = qobject_cast<QPieSeries *>(one)) {
            const QList<QPieSlice *> slices = pie->slices();
            for (QPieSlice *slice : slices)
                addProperties(texts, slice);
        }
    }
    const QList<QAbstractAxis *> axes = chart->axes();
    for (QAbstractAxis *axis : axes)
        addProperties(texts, axis);
    const QList<QLegendMarker *> markers = chart->legend()->markers();
    for (QLegendMarker *marker : markers)
        addProperties(texts, marker);
}

void addObject(Texts &texts, QObject *object)
{
    addProperties(texts, object);
    if (auto *widget = qobject_cast<QWidget *>(object)) {
        const QList<QAction *> actions = widget->actions();
        for (QAction *action : actions)
            addProperties(texts, action);
    }
    if (auto *tabs = qobject_cast<QTabBar *>(object)) {
        for (int i = 0; i < tabs->count(); ++i) {
            add(texts, tabs, QStringLiteral("tab"), tabs->tabText(i));
            add(texts, tabs, QStringLiteral("tabToolTip"), tabs->tabToolTip(i));
        }
    }
    if (auto *combo = qobject_cast<QComboBox *>(object))
        addModel(texts, combo, combo->model());
    if (auto *view = qobject_cast<QAbstractItemView *>(object); view && view->model())
        addModel(texts, view, view->model());
    if (auto *chartView = qobject_cast<QChartView *>(object); chartView && chartView->chart())
        addChart(texts, chartView->chart());
    // A painted text that is no property.
    if (auto *gauge = qobject_cast<AverageChart *>(object))
        add(texts, gauge, QStringLiteral("caption"), gauge->captionText());
}

// The texts of a window and everything in it.
Texts textsOf(QWidget *window)
{
    Texts texts;
    addObject(texts, window);
    const QList<QObject *> children = window->findChildren<QObject *>();
    for (QObject *child : children)
        addObject(texts, child);
    return texts;
}

QString chineseIn(const Texts &texts)
{
    QStringList found;
    for (const auto &text : texts) {
        if (hasChinese(text.second))
            found << QStringLiteral("%1 = \"%2\"").arg(text.first, text.second.left(60));
    }
    return found.join(QLatin1Char('\n'));
}

QWidget *topLevel(const QString &name)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (nameOf(window) == name)
            return window;
    }
    return nullptr;
}

// Runs the step, which opens a window: modal (its exec() runs until the window has been read
// and rejected) or not (read when the step returns, then closed). The texts of that window;
// none when none opened.
Texts textsOfOpenedWindow(const std::function<void()> &step, const QString &name = QString())
{
    Texts texts;
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            texts = textsOf(dialog);
            dialog->reject();
        }
    });
    step();
    if (QWidget *window = topLevel(name); texts.isEmpty() && window && window->isVisible()) {
        texts = textsOf(window);
        window->close();
    }
    return texts;
}

// Every (context, source) of a translation file.
QList<QPair<QString, QString>>
messagesOf(const QString &tsFile,
           QHash<QPair<QString, QString>, QPair<QString, bool>> *translations = nullptr)
{
    QList<QPair<QString, QString>> messages;
    QFile file(tsFile);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
            messages << qMakePair(context, source);
        } else if (xml.name() == QLatin1String("translation") && translations) {
            const QStringRef type = xml.attributes().value(QLatin1String("type"));
            const bool finished = type.isEmpty();
            translations->insert(qMakePair(context, source),
                                 qMakePair(xml.readElementText(), finished));
        }
    }
    return messages;
}

constexpr int LupdateTimeoutMs = 120000;

QString committedCatalogue()
{
    return QStringLiteral(TEST_SOURCE_DIR "/../translations/console_en.ts");
}

// The placeholders of a text, each once, sorted: "%1", "%2", "%n".
QStringList placeholdersOf(const QString &text)
{
    static const QRegularExpression placeholder(QStringLiteral("%(\\d+|n)"));
    QStringList found;
    QRegularExpressionMatchIterator it = placeholder.globalMatch(text);
    while (it.hasNext())
        found << it.next().captured();
    found.sort();
    found.removeDuplicates();
    return found;
}

struct Literal {
    int line;
    QString text;
};

// The string literals of a C++ source that hold a Chinese character, outside comments; escapes
// other than \n and \t stand for the character after the backslash.
QList<Literal> chineseLiterals(const QString &code)
{
    // Comments, raw strings (delimiter, body), strings (body) and characters, in order.
    static const QRegularExpression token(
        QStringLiteral("//[^\\n]*|/\\*.*?\\*/|(?<!\\w)(?:u8|[uUL])?R\"([^(\\s]*)\\((.*?)\\)\\1\"|"
                       "\"((?:[^\"\\\\\\n]|\\\\.)*)\"|'(?:[^'\\\\\\n]|\\\\.)*'"),
        QRegularExpression::DotMatchesEverythingOption);
    QList<Literal> found;
    int line = 1;
    int counted = 0;
    QRegularExpressionMatchIterator it = token.globalMatch(code);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        line += code.midRef(counted, match.capturedStart() - counted).count(QLatin1Char('\n'));
        counted = match.capturedStart();
        QString text = match.captured(2);
        const QString escaped = match.captured(3);
        for (int i = 0; i < escaped.size(); ++i) {
            QChar c = escaped.at(i);
            if (c == QLatin1Char('\\') && ++i < escaped.size()) {
                c = escaped.at(i);
                c = c == QLatin1Char('n')   ? QLatin1Char('\n')
                    : c == QLatin1Char('t') ? QLatin1Char('\t')
                                            : c;
            }
            text += c;
        }
        if (hasChinese(text))
            found << Literal{line, text};
    }
    return found;
}

// The windows the console opens besides its main window.
const QStringList ConsoleWindows{QStringLiteral("LoginWidget#"),
                                 QStringLiteral("LoginInfo#"),
                                 QStringLiteral("PopupMenu#PopuMenu"),
                                 QStringLiteral("LogWidget#LogWidget"),
                                 QStringLiteral("TableWidget#TableWidget"),
                                 QStringLiteral("FuncWidget1#"),
                                 QStringLiteral("SetupWaitProgressBar#"),
                                 QStringLiteral("CMessageBox#MessageBox2")};

// The smallest screen the console is made for.
constexpr QSize SmallScreen(1366, 768);

// Texts of the widgets shown in the window that their widget cannot show whole: "where: text
// needs N px, has M px".
QStringList cutTexts(QWidget *window, int *checked)
{
    QStringList cut;
    auto check = [&](const QWidget *widget, const QString &text, int needed, int has) {
        *checked += text.isEmpty() ? 0 : 1;
        if (!text.isEmpty() && needed > has)
            cut << QStringLiteral("%1 \"%2\": needs %3 px, has %4")
                       .arg(nameOf(widget), text)
                       .arg(needed)
                       .arg(has);
    };
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *widget : qAsConst(widgets)) {
        if (!widget->isVisibleTo(window) || widget->width() <= 0)
            continue;
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            if (label->text().isEmpty())
                continue;
            const QSize hint = label->sizeHint();
            if (label->wordWrap())
                check(label, label->text(), label->heightForWidth(label->width()), label->height());
            else
                check(label, label->text(), hint.width(), label->width());
        } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            // The text, beside the icon when the button shows both side by side; what a
            // button adds around it is room to spare, not needed to show the text.
            int needed = button->fontMetrics().horizontalAdvance(button->text());
            auto *tool = qobject_cast<QToolButton *>(button);
            if (!button->icon().isNull() &&
                (tool ? tool->toolButtonStyle() == Qt::ToolButtonTextBesideIcon
                      : !button->text().isEmpty()))
                needed += button->iconSize().width();
            check(button, button->text(), needed, button->width());
        } else if (auto *tabs = qobject_cast<QTabBar *>(widget)) {
            for (int i = 0; i < tabs->count(); ++i)
                check(tabs, tabs->tabText(i),
                      tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)),
                      tabs->tabRect(i).width());
        } else if (auto *tree = qobject_cast<QTreeView *>(widget)) {
            tree->expandAll();
            const QAbstractItemModel *model = tree->model();
            for (QModelIndex index = model->index(0, 0); index.isValid();
                 index = tree->indexBelow(index)) {
                const QString text = index.data().toString();
                const QRect cell = tree->visualRect(index);
                check(tree, text, cell.left() + tree->fontMetrics().horizontalAdvance(text),
                      tree->viewport()->width());
            }
        }
    }
    return cut;
}

// What lupdate finds in the sources now: context and source text, collected as the
// catalogue's own texts are.
const Texts &sourceTexts()
{
    static Texts m_sourceTexts;
    QTemporaryDir work;
    if (!m_sourceTexts.isEmpty() || !work.isValid())
        return m_sourceTexts;
    const QString fresh = work.filePath(QStringLiteral("fresh_en.ts"));
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(TEST_SOURCE_DIR "/.."));
    lupdate.start(QStringLiteral(TEST_LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral("-source-language"), QStringLiteral("zh_CN"),
                   QStringLiteral("App"), QStringLiteral("frameless"), QStringLiteral("-ts"),
                   fresh});
    if (lupdate.waitForFinished(LupdateTimeoutMs) && lupdate.exitCode() == 0)
        m_sourceTexts = messagesOf(fresh);
    return m_sourceTexts;
}

} // namespace

void tst_Translations::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The themes, whose style sheets set the sizes the texts have to fit.
    QVERIFY(TestSupport::copyConsoleConfig(m_dir.path()));
    const QString config = m_dir.filePath(QStringLiteral("config"));
    // A station feed whose broker entry is malformed: the title bar shows the feed's state
    // without any network.
    QVERIFY(TestSupport::writeFile(config + QStringLiteral("/SetupConfig.ini"),
                                   "[Station]\nBroker=no broker\n"));
    SetupConfig::instance()->setAppDir(m_dir.path());
    QVERIFY(m_translations.install(LanguageChoice::english()));

    // Everything the console builds at start-up, and what it builds when first asked for: a
    // camera page's chart page, the message box of every type, the user card alone.
    m_mainObject = std::make_unique<MainObject>();
    MainWindow *window = m_mainObject->mainWindow();
    // The window builds the rest of its pages and windows once it has painted.
    window->show();
    QTRY_VERIFY(window->isFullyBuilt());
    window->showMoments(0);
    QVERIFY(window->momentsPage());
    m_mainObject->loginWidget();
    m_mainObject->waitProgressBar();
    auto *page = qobject_cast<CameraParam *>(window->stackedWidget()->widget(0));
    QVERIFY(page);
    const QList<QToolButton *> buttons = page->findChildren<QToolButton *>();
    for (QToolButton *button : buttons) {
        if (button->objectName() != QLatin1String("CameraParamExtendButton"))
            button->click();
    }
    QVERIFY(page->findChild<QChartView *>());
    for (int type : {CMessageBox::Information, CMessageBox::Warning, CMessageBox::Error}) {
        auto box = std::make_unique<CMessageBox>();
        box->setObjectName(QStringLiteral("MessageBox%1").arg(type));
        box->setMessageType(type);
        m_extra.push_back(std::move(box));
    }
}

void tst_Translations::cleanupTestCase()
{
    m_probes.clear();
    m_extra.clear();
    m_mainObject.reset();
}

void tst_Translations::englishShowsNoChinese_data()
{
    QTest::addColumn<int>("probe");
    QTest::addColumn<bool>("mayBeEmpty");
    auto row = [this](const QString &name, std::function<Texts()> probe, bool mayBeEmpty = false) {
        QTest::newRow(qPrintable(name)) << int(m_probes.size()) << mayBeEmpty;
        m_probes.push_back(std::move(probe));
    };
    // Every window there is, whoever made it: a window added later is checked without a row
    // of its own.
    QStringList names;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        names << nameOf(window);
    names.sort();
    names.removeDuplicates();
    for (const QString &name : qAsConst(names)) {
        QWidget *window = topLevel(name);
        row(
            name,
            [name] {
                Texts texts;
                const QWidgetList windows = QApplication::topLevelWidgets();
                for (QWidget *one : windows) {
                    if (nameOf(one) == name)
                        texts << textsOf(one);
                }
                return texts;
            },
            window->inherits("QMenu") || window->inherits("QTipLabel"));
    }
    // The windows the console cannot do without are among them.
    for (const QString &needed :
         ConsoleWindows + QStringList{QStringLiteral("MainWindow#"),
                                      QStringLiteral("LanguageMenu#LanguageMenu")})
        QVERIFY2(names.contains(needed), qPrintable(needed));

    // What the console says when asked.
    MainWindow *main = m_mainObject->mainWindow();
    LoginWidget *login = m_mainObject->loginWidget();
    auto logIn = [login](const QString &account) {
        return [login, account] {
            auto *accounts =
                login->findChild<QComboBox *>(QStringLiteral("LoginWidgetAccountComboBox"));
            auto *password =
                login->findChild<QLineEdit *>(QStringLiteral("LoginWidgetPasswordLineEdit"));
            auto *button = login->findChild<QPushButton *>(QStringLiteral("LoginButton"));
            if (!accounts || !password || !button)
                return Texts();
            accounts->setEditText(account);
            password->clear();
            return textsOfOpenedWindow([button] { button->click(); });
        };
    };
    row(QStringLiteral("loginWithoutAccount"), logIn(QString()));
    row(QStringLiteral("loginWithoutPassword"), logIn(QStringLiteral("op")));
    row(QStringLiteral("closePrompt"),
        [main] { return textsOfOpenedWindow([main] { main->close(); }); });
    row(QStringLiteral("middleButtonMessage"),
        [main] { return textsOfOpenedWindow([main] { main->middleButton()->click(); }); });
    // The note tells that a language other than the running one comes with the next start.
    row(QStringLiteral("languageNote"), [main] {
        return textsOfOpenedWindow(
            [main] { main->languageMenu()->actionFor(LanguageChoice::chinese())->trigger(); },
            QStringLiteral("CMessageBox#LanguageNote"));
    });
    // The title bar's feed state says what it is in a tooltip, in each state.
    const QPair<QString, StationClient::State> states[] = {
        {QStringLiteral("feedConnected"), StationClient::Connected},
        {QStringLiteral("feedConnecting"), StationClient::Connecting},
        {QStringLiteral("feedOffline"), StationClient::Offline}};
    for (const auto &[name, state] : states) {
        row(name, [this, state = state] {
            StationFeedIndicator *indicator = m_mainObject->mainWindow()->feedIndicator();
            const QString detail = m_mainObject->stationClient()->detail();
            indicator->setFeedState(state, detail);
            Texts texts;
            if (indicator->toolTip().size() > detail.size())
                add(texts, indicator, QStringLiteral("toolTip"), indicator->toolTip());
            return texts;
        });
    }
}

void tst_Translations::englishShowsNoChinese()
{
    QFETCH(int, probe);
    QFETCH(bool, mayBeEmpty);
    const Texts texts = m_probes.at(probe)();
    QVERIFY(!texts.isEmpty() || mayBeEmpty);
    const QString chinese = chineseIn(texts);
    QVERIFY2(chinese.isEmpty(), qPrintable(chinese));
}

void tst_Translations::catalogueCoversEveryText_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");

    // Every text the sources hand to the translation system now.
    QVERIFY(!sourceTexts().isEmpty());
    for (const auto &message : sourceTexts())
        QTest::newRow(qPrintable(message.first + QLatin1Char(':') + message.second.left(40)))
            << message.first << message.second;
}

void tst_Translations::catalogueCoversEveryText()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    static QHash<QPair<QString, QString>, QPair<QString, bool>> translations;
    if (translations.isEmpty())
        messagesOf(committedCatalogue(), &translations);
    const auto found = translations.constFind(qMakePair(context, source));
    QVERIFY2(found != translations.cend(),
             "not in translations/console_en.ts: build the console_lupdate target");
    const QString english = found->first;
    QVERIFY2(found->second && !english.isEmpty(), "the English text is unfinished");
    QVERIFY2(!hasChinese(english), qPrintable(english));
    QCOMPARE(placeholdersOf(english), placeholdersOf(source));
    // What the console shows: the compiled-in catalogue has the same text.
    QCOMPARE(QCoreApplication::translate(context.toUtf8().constData(), source.toUtf8().constData()),
             english);
}

void tst_Translations::noChineseOutsideTranslation_data()
{
    QTest::addColumn<QString>("literal");
    // Every string literal with a Chinese character in the program's sources, outside
    // comments: a text shown later (a state, a message) that no window holds at start-up.
    const QString root = QDir(QStringLiteral(TEST_SOURCE_DIR "/..")).canonicalPath();
    int count = 0;
    for (const QString &folder : {QStringLiteral("App"), QStringLiteral("frameless")}) {
        QDirIterator it(root + QLatin1Char('/') + folder,
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString code = QString::fromUtf8(TestSupport::readFile(path));
            const QList<Literal> literals = chineseLiterals(code);
            for (const Literal &literal : literals) {
                QTest::newRow(qPrintable(
                    QStringLiteral("%1:%2").arg(path.mid(root.size() + 1)).arg(literal.line)))
                    << literal.text;
                ++count;
            }
        }
    }
    // The scan finds the texts it is about.
    QVERIFY(count > 0);
}

void tst_Translations::noChineseOutsideTranslation()
{
    QFETCH(QString, literal);
    // Inside a translation call the literal is part of a text that lupdate collected.
    const auto &texts = sourceTexts();
    const bool translated = std::any_of(texts.cbegin(), texts.cend(), [&](const auto &message) {
        return message.second.contains(literal);
    });
    QVERIFY2(translated, "a Chinese text outside tr(), QT_TR_NOOP() or QT_TRANSLATE_NOOP()");
}

void tst_Translations::textsFitSmallScreen_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("page"); // of the main window
    // A part of the page that is shown on demand (the wall's list of shortcuts).
    QTest::addColumn<QString>("part");
    const QString main = QStringLiteral("MainWindow#");
    for (const QString &theme : ThemeManager::themeNames()) {
        for (int page = 0; page <= MainWindow::ChartPage; ++page)
            QTest::newRow(qPrintable(QStringLiteral("%1-page%2").arg(theme).arg(page)))
                << theme << main << page << QString();
        QTest::newRow(qPrintable(theme + QStringLiteral("-wallHelp")))
            << theme << main << int(MainWindow::CameraWallPage)
            << QStringLiteral("WallHelpOverlay");
        for (const QString &other : ConsoleWindows)
            QTest::newRow(qPrintable(theme + QLatin1Char('-') + other))
                << theme << other << -1 << QString();
    }
}

void tst_Translations::textsFitSmallScreen()
{
    QFETCH(QString, theme);
    QFETCH(QString, window);
    QFETCH(int, page);
    QFETCH(QString, part);
    // Restyling every window is slow; the rows of a theme follow one another.
    static QString applied;
    if (applied != theme) {
        QVERIFY(ThemeManager::applyTheme(theme));
        applied = theme;
    }
    QWidget *shown = topLevel(window);
    QVERIFY(shown);
    const bool wasVisible = shown->isVisible();
    // A window that opens at its natural size opens at that of the theme.
    static QSet<QWidget *> sizedByContent;
    if (!shown->testAttribute(Qt::WA_Resized))
        sizedByContent.insert(shown);
    if (sizedByContent.contains(shown))
        shown->adjustSize();
    if (page >= 0) {
        shown->setGeometry(QRect(QPoint(0, 0), SmallScreen));
        m_mainObject->mainWindow()->stackedWidget()->setCurrentIndex(page);
    }
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    if (page >= 0)
        QTRY_COMPARE(shown->size(), SmallScreen);
    QWidget *partShown = nullptr;
    if (!part.isEmpty()) {
        partShown = shown->findChild<QWidget *>(part);
        QVERIFY(partShown);
        partShown->show();
        partShown->raise();
    }
    QCoreApplication::processEvents();
    int checked = 0;
    const QStringList cut = cutTexts(partShown ? partShown : shown, &checked);
    if (partShown)
        partShown->hide();
    if (!wasVisible && page < 0)
        shown->hide();
    // The probe saw the texts it is about.
    QVERIFY(checked > 0);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
}

void tst_Translations::qtDialogsFollow_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("chinese");
    QTest::newRow("chinese") << LanguageChoice::chinese() << true;
    QTest::newRow("english") << LanguageChoice::english() << false;
}

void tst_Translations::qtDialogsFollow()
{
    QFETCH(QString, language);
    QFETCH(bool, chinese);
    // The test's other functions see the English console again.
    const auto restore = qScopeGuard([this] { m_translations.install(LanguageChoice::english()); });
    QVERIFY(m_translations.install(language));

    // Qt's own buttons, and the console's texts beside them.
    QMessageBox box(QMessageBox::Question, QString(), MainWindow::closeQuestion(),
                    QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Close);
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts{box.text()};
    const QList<QAbstractButton *> buttons = box.buttons();
    for (QAbstractButton *button : buttons)
        texts << button->text();
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (!action->isSeparator())
            texts << action->text();
    }
    for (const QString &text : qAsConst(texts))
        QVERIFY2(hasChinese(text) == chinese, qPrintable(text));
}

QTEST_MAIN(tst_Translations)
#include "tst_translations.moc"

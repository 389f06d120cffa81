// Keyboard focus in the five theme style sheets, rendered by a real X server: every kind of
// control the console lets Tab reach shows a frame that stands out from its own background.
#include <QtTest>
#include <QtWidgets>

#include "../testsupport.h"

namespace
{

using TestSupport::contrast;

// How far in from the control's edge the frame may start (a tab's margin, a rounded corner).
constexpr int EdgeSearch = 6;
// Where the control's own background is read: just inside the frame.
constexpr int Inside = 3;
// A pixel that moved by less is antialiasing, not a frame.
constexpr int Changed = 24;
constexpr double FrameContrast = 3.0;

QString readTheme(const QString &theme)
{
    QFile file(QStringLiteral(TEST_CONFIG_DIR "/style/%1/style.css").arg(theme));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool differs(const QColor &a, const QColor &b)
{
    return !TestSupport::near(a, b, Changed);
}

// The control of a kind, as the console names and places it: on a host that paints what lies
// under it there. Returns the control; its rectangle in the host's coordinates gives the part
// where the frame is looked for.
QWidget *buildControl(const QString &kind, QWidget *host, QRect *probe)
{
    auto *layout = new QHBoxLayout(host);
    QWidget *control = nullptr;
    auto named = [&](QWidget *widget, const char *name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    if (kind == QLatin1String("pushButton")) {
        control = new QPushButton(QStringLiteral("OK"));
    } else if (kind == QLatin1String("popupButton")) {
        host->setObjectName(QStringLiteral("PopupMenuCentralWidget"));
        control = named(new QPushButton(QStringLiteral("Table")), "PopupMenuButton");
    } else if (kind == QLatin1String("loginButton")) {
        control = named(new QPushButton(QStringLiteral("Log in")), "LoginButton");
    } else if (kind == QLatin1String("middleButton")) {
        host->setObjectName(QStringLiteral("FancyBar"));
        control = named(new QPushButton(QStringLiteral("Click")), "MainWindowMiddleButton");
        control->setFixedSize(100, 30);
    } else if (kind == QLatin1String("stripButton") || kind == QLatin1String("themeButton")) {
        host->setObjectName(QStringLiteral("FancyBar"));
        auto *button = new QToolButton;
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setText(QStringLiteral("Log"));
        button->setFixedSize(50, 50);
        control = named(button, kind == QLatin1String("stripButton") ? "AdditionalWidgetToolButton"
                                                                     : "FancyBarAdditionalButton");
    } else if (kind == QLatin1String("sideButton")) {
        host->setObjectName(QStringLiteral("LeftPanel"));
        control = named(new QToolButton, "SidePanelSetupButton");
        static_cast<QToolButton *>(control)->setText(QStringLiteral("Setup"));
    } else if (kind == QLatin1String("cameraIndex")) {
        host->setObjectName(QStringLiteral("CameraDisplayTopWidget"));
        control = named(new QToolButton, "CameraDisplayIndexButton");
        static_cast<QToolButton *>(control)->setText(QStringLiteral("C01"));
        control->setFixedSize(50, 32);
    } else if (kind == QLatin1String("tree")) {
        control = new QTreeWidget;
    } else if (kind == QLatin1String("momentsList")) {
        control = named(new QListView, "MomentsList");
    } else if (kind == QLatin1String("lineEdit")) {
        control = new QLineEdit;
    } else if (kind == QLatin1String("comboBox")) {
        auto *box = new QComboBox;
        box->addItems({QStringLiteral("one"), QStringLiteral("two")});
        control = box;
    } else if (kind == QLatin1String("logText")) {
        control = named(new QTextEdit, "MainWindowLogTextEdit");
    } else if (kind == QLatin1String("tabs")) {
        host->setObjectName(QStringLiteral("LeftPanel"));
        auto *tabs = new QTabBar;
        tabs->setShape(QTabBar::RoundedSouth);
        tabs->addTab(QStringLiteral("Functions"));
        tabs->addTab(QStringLiteral("Log"));
        control = tabs;
    } else if (kind == QLatin1String("checkBox")) {
        control = new QCheckBox(QStringLiteral("Remember"));
    }
    layout->addWidget(control);
    // Something else to hold the focus while the control is drawn without it.
    layout->addWidget(new QLineEdit);
    host->resize(360, 120);
    host->show();
    if (!QTest::qWaitForWindowActive(host))
        return nullptr;
    QRect part(control->mapTo(host, QPoint(0, 0)), control->size());
    if (auto *tabs = qobject_cast<QTabBar *>(control)) {
        part = tabs->tabRect(tabs->currentIndex()).translated(part.topLeft());
    } else if (auto *box = qobject_cast<QCheckBox *>(control)) {
        QStyleOptionButton option;
        option.initFrom(box);
        part = box->style()
                   ->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box)
                   .translated(part.topLeft());
    }
    *probe = part;
    return control;
}

} // namespace

class tst_ThemesFocusX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void focusFrameStandsOut_data();
    void focusFrameStandsOut();
};

void tst_ThemesFocusX11::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("focus needs an active window of a real X server");
}

void tst_ThemesFocusX11::cleanup()
{
    qApp->setStyleSheet(QString());
}

void tst_ThemesFocusX11::focusFrameStandsOut_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("kind");
    static const char *const kinds[] = {"pushButton",  "popupButton", "loginButton", "middleButton",
                                        "stripButton", "themeButton", "sideButton",  "cameraIndex",
                                        "tree",        "momentsList", "lineEdit",    "comboBox",
                                        "logText",     "tabs",        "checkBox"};
    for (const char *theme :
         {"dark_blue", "dark_green", "dark_yellow_green", "light_blue", "light_green"}) {
        for (const char *kind : kinds)
            QTest::addRow("%s/%s", theme, kind) << theme << kind;
    }
}

// Along the middle of the control's left edge, the first pixel that focus changes is its frame;
// it must lie at the edge and stand out from the control's background just inside it.
void tst_ThemesFocusX11::focusFrameStandsOut()
{
    QFETCH(QString, theme);
    QFETCH(QString, kind);
    const QString css = readTheme(theme);
    QVERIFY(!css.isEmpty());
    qApp->setStyleSheet(css);

    QWidget host;
    QRect part;
    QWidget *control = buildControl(kind, &host, &part);
    QVERIFY(control);
    QWidget *other = host.findChildren<QLineEdit *>().constLast();
    other->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(other->hasFocus());
    const QImage without = host.grab().toImage();
    control->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(control->hasFocus());
    const QImage with = host.grab().toImage();

    const int y = part.center().y();
    int edge = -1;
    for (int x = part.left(); x <= part.left() + EdgeSearch && edge < 0; ++x) {
        if (differs(with.pixelColor(x, y), without.pixelColor(x, y)))
            edge = x;
    }
    QVERIFY2(edge >= 0, "focus changes nothing at the control's edge");
    const QColor frame = with.pixelColor(edge, y);
    const QColor ground = with.pixelColor(edge + Inside, y);
    const double ratio = contrast(frame, ground);
    QVERIFY2(ratio >= FrameContrast, qPrintable(QStringLiteral("frame %1 on %2: %3")
                                                    .arg(frame.name(), ground.name())
                                                    .arg(ratio, 0, 'f', 2)));
}

QTEST_MAIN(tst_ThemesFocusX11)
#include "tst_themesfocus_x11.moc"

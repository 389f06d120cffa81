#include "ui/common/iconhelper.h"

#include <QAbstractButton>
#include <QDebug>
#include <QEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QScopedPointer>
#include <QStringList>
#include <QToolButton>

#include <atomic>

namespace
{

QScopedPointer<IconHelper> s_instance;
std::atomic<IconHelper *> s_instancePointer{nullptr};
QMutex s_instanceMutex;

bool fontFamilyKnown()
{
    return QFontDatabase().families().contains(QLatin1String(IconHelper::FontFamily),
                                               Qt::CaseSensitive);
}

} // namespace

IconHelper *IconHelper::instance()
{
    IconHelper *helper = s_instancePointer.load(std::memory_order_acquire);
    if (!helper) {
        QMutexLocker locker(&s_instanceMutex);
        helper = s_instancePointer.load(std::memory_order_relaxed);
        if (!helper) {
            s_instance.reset(new IconHelper);
            helper = s_instance.data();
            s_instancePointer.store(helper, std::memory_order_release);
        }
    }
    return helper;
}

// A family "FontAwesome" that is already known (installed on the system) is used as it is.
IconHelper::IconHelper(QObject *parent) : QObject(parent)
{
    if (!fontFamilyKnown()) {
        const int id = QFontDatabase::addApplicationFont(QLatin1String(FontResource));
        if (QFontDatabase::applicationFontFamilies(id).isEmpty())
            qDebug() << "load fontawesome-webfont.ttf error";
    }
    if (fontFamilyKnown()) {
        m_iconFont = QFont(QLatin1String(FontFamily));
        m_iconFont.setHintingPreference(QFont::PreferNoHinting);
    }
}

IconHelper::~IconHelper()
{
    s_instancePointer.store(nullptr, std::memory_order_release);
}

QFont IconHelper::iconFont() const
{
    return m_iconFont;
}

QPixmap IconHelper::glyphPixmap(const QColor &color, QChar glyph, int pixelSize, int width,
                                int height, int flags)
{
    if (width <= 0 || height <= 0) {
        qWarning() << "IconHelper: no pixmap of size" << width << "x" << height;
        return QPixmap();
    }
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    if (pixelSize <= 0) {
        qWarning() << "IconHelper: glyph pixel size" << pixelSize << "draws nothing";
        return pixmap;
    }

    QPainter painter(&pixmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setPen(color);
    m_iconFont.setPixelSize(pixelSize);
    painter.setFont(m_iconFont);
    painter.drawText(pixmap.rect(), flags, QString(glyph));
    painter.end();
    return pixmap;
}

void IconHelper::setGlyph(QLabel *label, QChar glyph, int pixelSize)
{
    if (!label || pixelSize <= 0)
        return;
    m_iconFont.setPixelSize(pixelSize);
    label->setFont(m_iconFont);
    label->setText(QString(glyph));
}

void IconHelper::setGlyph(QAbstractButton *button, QChar glyph, int pixelSize)
{
    if (!button || pixelSize <= 0)
        return;
    m_iconFont.setPixelSize(pixelSize);
    button->setFont(m_iconFont);
    button->setText(QString(glyph));
}

QPixmap IconHelper::buttonPixmap(QToolButton *button, bool normal) const
{
    const int index = m_buttons.indexOf(button);
    if (index < 0)
        return QPixmap();
    return normal ? m_normalPixmaps.at(index) : m_hoverPixmaps.at(index);
}

QString IconHelper::borderFragment(const QString &type, int borderWidth)
{
    QString pattern;
    if (type == QLatin1String("top"))
        pattern = QStringLiteral("border-width:%1px 0px 0px 0px;padding:%1px %2px %2px %2px;");
    else if (type == QLatin1String("right"))
        pattern = QStringLiteral("border-width:0px %1px 0px 0px;padding:%2px %1px %2px %2px;");
    else if (type == QLatin1String("bottom"))
        pattern = QStringLiteral("border-width:0px 0px %1px 0px;padding:%2px %2px %1px %2px;");
    else if (type == QLatin1String("left"))
        pattern = QStringLiteral("border-width:0px 0px 0px %1px;padding:%2px %2px %2px %1px;");
    else
        return QString();
    return pattern.arg(borderWidth).arg(2 * borderWidth);
}

QString IconHelper::navigationButtonRule(const QString &type, const QString &normalTextColor,
                                         const QString &normalBgColor)
{
    return QStringLiteral("QWidget[flag=\"%1\"] QAbstractButton{border-style:none;"
                          "border-radius:0px;padding:5px;color:%2;background:%3;}")
        .arg(type, normalTextColor, normalBgColor);
}

QString IconHelper::navigationHoverRule(const QString &type, const QString &border,
                                        const QString &borderColor, const QString &darkTextColor,
                                        const QString &darkBgColor)
{
    return QStringLiteral("QWidget[flag=\"%1\"] QAbstractButton:hover,"
                          "QWidget[flag=\"%1\"] QAbstractButton:pressed,"
                          "QWidget[flag=\"%1\"] QAbstractButton:checked{border-style:solid;"
                          "%2border-color:%3;color:%4;background:%5;}")
        .arg(type, border, borderColor, darkTextColor, darkBgColor);
}

void IconHelper::styleNavigationWidget(QWidget *widget, const QString &type, int borderWidth,
                                       const QString &borderColor, const QString &normalBgColor,
                                       const QString &darkBgColor, const QString &normalTextColor,
                                       const QString &darkTextColor)
{
    if (!widget)
        return;
    QStringList rules;
    rules << navigationButtonRule(type, normalTextColor, normalBgColor);
    rules << navigationHoverRule(type, borderFragment(type, borderWidth), borderColor,
                                 darkTextColor, darkBgColor);
    widget->setStyleSheet(rules.join(QString()));
}

void IconHelper::styleToolButtonWidget(QWidget *widget, QList<QToolButton *> buttons,
                                       QList<int> glyphs, int iconPixelSize, int iconWidth,
                                       int iconHeight, const QString &type, int borderWidth,
                                       const QString &borderColor, const QString &normalBgColor,
                                       const QString &darkBgColor, const QString &normalTextColor,
                                       const QString &darkTextColor)
{
    if (!widget || buttons.isEmpty() || glyphs.isEmpty() || buttons.size() != glyphs.size() ||
        buttons.contains(nullptr))
        return;

    const QString border = borderFragment(type, borderWidth);
    QStringList rules;
    if (buttons.first()->toolButtonStyle() == Qt::ToolButtonTextBesideIcon) {
        // The border is drawn in the background colour, so that hovering only recolours it.
        rules << QStringLiteral("QWidget[flag=\"%1\"] QAbstractButton{border-style:solid;"
                                "border-radius:0px;%2border-color:%3;color:%4;background:%5;}")
                     .arg(type, border, normalBgColor, normalTextColor, normalBgColor);
    } else {
        rules << navigationButtonRule(type, normalTextColor, normalBgColor);
    }
    rules << navigationHoverRule(type, border, borderColor, darkTextColor, darkBgColor);
    // "QWidget#{" would make Qt drop the rules after it: a widget without a name gets no own rule.
    if (!widget->objectName().isEmpty())
        rules << QStringLiteral("QWidget#%1{background:%2;}")
                     .arg(widget->objectName(), normalBgColor);
    rules << QStringLiteral("QWidget>QToolButton{border-width:0px;}");
    rules << QStringLiteral("QWidget>QToolButton{background-color:%1;color:%2;}")
                 .arg(normalBgColor, normalTextColor);
    rules << QStringLiteral("QWidget>QToolButton:hover,QWidget>QToolButton:pressed,"
                            "QWidget>QToolButton:checked{background-color:%1;color:%2;}")
                 .arg(darkBgColor, darkTextColor);
    widget->setStyleSheet(rules.join(QString()));

    registerButtons(buttons, glyphs, iconPixelSize, iconWidth, iconHeight, normalTextColor,
                    darkTextColor);
}

void IconHelper::styleToolButtonFrame(QWidget *frame, QList<QToolButton *> buttons,
                                      QList<int> glyphs, int iconPixelSize, int iconWidth,
                                      int iconHeight, const QString &normalBgColor,
                                      const QString &darkBgColor, const QString &normalTextColor,
                                      const QString &darkTextColor)
{
    if (!frame || buttons.isEmpty() || glyphs.isEmpty() || buttons.size() != glyphs.size() ||
        buttons.contains(nullptr))
        return;

    QStringList rules;
    rules << QStringLiteral("QFrame>QToolButton{border-style:none;border-width:0px;}");
    rules << QStringLiteral("QFrame>QToolButton{background-color:%1;color:%2;}")
                 .arg(normalBgColor, normalTextColor);
    rules << QStringLiteral("QFrame>QToolButton:hover,QFrame>QToolButton:pressed,"
                            "QFrame>QToolButton:checked{background-color:%1;color:%2;}")
                 .arg(darkBgColor, darkTextColor);
    frame->setStyleSheet(rules.join(QString()));

    registerButtons(buttons, glyphs, iconPixelSize, iconWidth, iconHeight, normalTextColor,
                    darkTextColor);
}

void IconHelper::registerButtons(const QList<QToolButton *> &buttons, const QList<int> &glyphs,
                                 int iconPixelSize, int iconWidth, int iconHeight,
                                 const QString &normalTextColor, const QString &darkTextColor)
{
    for (int i = 0; i < buttons.size(); ++i) {
        const QChar glyph(glyphs.at(i));
        const QPixmap normal = glyphPixmap(QColor(normalTextColor), glyph, iconPixelSize, iconWidth,
                                           iconHeight, Qt::AlignCenter);
        const QPixmap hover = glyphPixmap(QColor(darkTextColor), glyph, iconPixelSize, iconWidth,
                                          iconHeight, Qt::AlignCenter);
        QToolButton *button = buttons.at(i);
        button->setIcon(QIcon(normal));
        button->setIconSize(QSize(iconWidth, iconHeight));
        button->installEventFilter(this);
        if (!m_buttons.contains(button))
            connect(button, &QObject::destroyed, this, &IconHelper::forgetButton);

        m_buttons.append(button);
        m_normalPixmaps.append(normal);
        m_hoverPixmaps.append(hover);
    }
}

// Drops every registration of a destroyed button, so that its address cannot be mistaken for a
// later button's.
void IconHelper::forgetButton(QObject *object)
{
    for (int i = m_buttons.size() - 1; i >= 0; --i) {
        if (static_cast<QObject *>(m_buttons.at(i)) == object) {
            m_buttons.removeAt(i);
            m_normalPixmaps.removeAt(i);
            m_hoverPixmaps.removeAt(i);
        }
    }
}

bool IconHelper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched->inherits("QToolButton")) {
        auto *button = static_cast<QToolButton *>(watched);
        const int index = m_buttons.indexOf(button);
        if (index >= 0) {
            if (event->type() == QEvent::Enter)
                button->setIcon(QIcon(m_hoverPixmaps.at(index)));
            else if (event->type() == QEvent::Leave)
                button->setIcon(QIcon(button->isChecked() ? m_hoverPixmaps.at(index)
                                                          : m_normalPixmaps.at(index)));
        }
    }
    return QObject::eventFilter(watched, event);
}

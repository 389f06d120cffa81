#include "languagemenu.h"

#include <QActionGroup>
#include <QLocale>

#include "common/config/setupconfig.h"
#include "language/languagechoice.h"

namespace
{

// The entries' labels, in the order of LanguageChoice::settings().
const char *const Labels[] = {
    QT_TRANSLATE_NOOP("LanguageMenu", "简体中文"),
    QT_TRANSLATE_NOOP("LanguageMenu", "English"),
    QT_TRANSLATE_NOOP("LanguageMenu", "跟随系统"),
};

} // namespace

LanguageMenu::LanguageMenu(QWidget *parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("LanguageMenu"));
    m_group = new QActionGroup(this);
    m_group->setExclusive(true);
    const QString stored = LanguageChoice::normalisedSetting(
        SetupConfig::instance()->value(LanguageChoice::settingKey()));
    const QStringList settings = LanguageChoice::settings();
    for (int i = 0; i < settings.size(); ++i) {
        QAction *action = addAction(tr(Labels[i]));
        action->setData(settings.at(i));
        action->setCheckable(true);
        action->setChecked(settings.at(i) == stored);
        m_group->addAction(action);
    }
    addSeparator();
    addAction(tr("重新启动后生效"))->setEnabled(false);

    connect(m_group, &QActionGroup::triggered, this, &LanguageMenu::choose);
}

QAction *LanguageMenu::actionFor(const QString &setting) const
{
    const QList<QAction *> actions = m_group->actions();
    for (QAction *action : actions) {
        if (action->data().toString() == setting)
            return action;
    }
    return nullptr;
}

void LanguageMenu::choose(QAction *action)
{
    const QString setting = action->data().toString();
    SetupConfig::instance()->setValue(LanguageChoice::settingKey(), setting);
    emit chosen(setting,
                LanguageChoice::resolve(setting, QLocale::system().uiLanguages()).language);
}

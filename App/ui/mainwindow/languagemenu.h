#pragma once

#include <QMenu>

class QActionGroup;

// The title bar's language menu: Chinese, English or the system's language, the stored choice
// checked. A choice is written to the configuration store at once; the windows are built in
// the language of the start, so it takes effect at the next start, as the menu's last line
// says.
class LanguageMenu : public QMenu
{
    Q_OBJECT

public:
    explicit LanguageMenu(QWidget *parent = nullptr);

    // The action of an entry value (LanguageChoice::settings()), or nullptr.
    QAction *actionFor(const QString &setting) const;

signals:
    // A choice stored; language is the one it means on this system.
    void chosen(const QString &setting, const QString &language);

private:
    Q_DISABLE_COPY(LanguageMenu)

    void choose(QAction *action);

    QActionGroup *m_group = nullptr;
};

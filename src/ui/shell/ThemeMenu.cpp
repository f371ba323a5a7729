#include "shell/ThemeMenu.h"

#include "common/Dialogs.h"
#include "settings/Settings.h"
#include "shell/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace shell {
namespace {
const std::pair<const char*, Theme::Choice> kEntries[] = {
    {"mnuThemeSystem", Theme::Choice::System},
    {"mnuThemeLight", Theme::Choice::Light},
    {"mnuThemeDark", Theme::Choice::Dark},
};
} // namespace

void attachThemeMenu(MainWindow* window) {
    Theme::instance().followPaletteOf(window);
    applySavedTheme();
    auto* group = new QActionGroup(window);
    for (const auto& [id, choice] : kEntries)
        if (QAction* a = window->action(QLatin1String(id))) {
            a->setCheckable(true);
            group->addAction(a);
        }
    if (QMenu* menu = window->menu(QStringLiteral("mnuViewTheme")))
        QObject::connect(menu, &QMenu::aboutToShow, window, [window] {
            for (const auto& [id, choice] : kEntries)
                if (QAction* a = window->action(QLatin1String(id)))
                    a->setChecked(choice == Theme::instance().choice());
        });
}

void chooseTheme(QWidget* window, Theme::Choice choice) {
    Theme::instance().setChoice(choice);
    const Status s = settings::write(settings::Key::Theme, Theme::choiceName(choice));
    if (!s)
        Dialogs::get().message(
            window, QStringLiteral("The theme is used now but could not be kept for the next start: %1")
                        .arg(s.error()));
}

void applySavedTheme() {
    Theme::instance().setChoice(Theme::choiceFromName(settings::current().text(settings::Key::Theme)));
}

} // namespace shell

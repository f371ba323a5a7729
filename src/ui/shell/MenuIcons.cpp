#include "shell/MenuIcons.h"

const QHash<QString, const char*>& menuIcons() {
    static const QHash<QString, const char*> icons = {
        {QStringLiteral("mnuFileSave"), "save"},    {QStringLiteral("mnuEditCut"), "cut"},
        {QStringLiteral("mnuEditCopy"), "copy"},    {QStringLiteral("mnuEditPaste"), "paste"},
        {QStringLiteral("mnuEditUndo"), "undo"},    {QStringLiteral("mnuQSearch"), "search"},
        {QStringLiteral("mnuEditRedo"), "redo"},
        {QStringLiteral("mnuQExecute"), "execute"}, {QStringLiteral("mnuQueryStop"), "stop"},
        {QStringLiteral("mnuQCheck"), "check"},     {QStringLiteral("mnuGrid"), "grid"},
        {QStringLiteral("mnuText"), "text"},        {QStringLiteral("mnuConnectionWizard"), "connect"},
        {QStringLiteral("mnuOpenNew"), "open"},
    };
    return icons;
}

#pragma once
// What the user last chose in any template tree, one copy for the whole
// program: every document's tree writes it, the template commands and the
// template editor read it. Reloading a tree never clears it.

#include <QtGlobal>
#include <optional>

struct TemplateSelection {
    std::optional<qint64> templateId; // the template last chosen; none when a group was chosen last
    std::optional<qint64> groupId;    // the group last chosen, or the group of the template last chosen
    bool editMode = false;            // the editor edits templateId (true) or makes a new template

    static TemplateSelection& current();
};

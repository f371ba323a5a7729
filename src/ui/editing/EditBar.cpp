#include "editing/EditBar.h"

#include "common/Theme.h"
#include "editing/GridEditor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

EditBar::EditBar(GridEditor* editor, QWidget* parent) : QWidget(parent), editor_(editor) {
    setObjectName(QStringLiteral("editBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 1, 4, 1);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("editState"));
    layout->addWidget(label_, 1);
    insert_ = button(QStringLiteral("Insert Row"), QStringLiteral("insertRow"), QStringLiteral("Ins"));
    delete_ = button(QStringLiteral("Delete Rows"), QStringLiteral("deleteRows"), QStringLiteral("Del"));
    null_ = button(QStringLiteral("Set NULL"), QStringLiteral("setNull"), QStringLiteral("Ctrl+0"));
    undo_ = button(QStringLiteral("Undo"), QStringLiteral("undoEdit"), QStringLiteral("Ctrl+Z"));
    redo_ = button(QStringLiteral("Redo"), QStringLiteral("redoEdit"), QStringLiteral("Ctrl+Y"));
    discard_ = button(QStringLiteral("Discard"), QStringLiteral("discardEdits"), QString());
    save_ = button(QStringLiteral("Save changes"), QStringLiteral("saveEdits"), QStringLiteral("Ctrl+S"));
    connect(insert_, &QToolButton::clicked, editor_, &GridEditor::insertRow);
    connect(delete_, &QToolButton::clicked, editor_, &GridEditor::deleteRows);
    connect(null_, &QToolButton::clicked, editor_, &GridEditor::setNull);
    connect(undo_, &QToolButton::clicked, editor_, &GridEditor::undo);
    connect(redo_, &QToolButton::clicked, editor_, &GridEditor::redo);
    connect(discard_, &QToolButton::clicked, this, &EditBar::discardRequested);
    connect(save_, &QToolButton::clicked, this, &EditBar::saveRequested);
    connect(editor_, &GridEditor::stateChanged, this, &EditBar::refresh);
    Theme::instance().onChange(this, [this] {
        label_->setStyleSheet(QStringLiteral("color: %1").arg(themeColour(Theme::Role::DimText).name()));
    });
    refresh();
}

QToolButton* EditBar::button(const QString& text, const QString& objectName, const QString& tip) {
    auto* b = new QToolButton(this);
    b->setText(text);
    b->setObjectName(objectName);
    b->setAutoRaise(true);
    if (!tip.isEmpty()) b->setToolTip(QStringLiteral("%1 (%2)").arg(text, tip));
    layout()->addWidget(b);
    return b;
}

QString EditBar::text() const { return label_->text(); }

void EditBar::refresh() {
    const bool editable = editor_->isEditable();
    const bool pending = editor_->hasChanges();
    setVisible(editable || !editor_->readOnlyReason().isEmpty());
    if (!editable)
        label_->setText(editor_->readOnlyReason());
    else
        label_->setText(pending ? editor_->changes()->summary() + QStringLiteral(" — not saved yet")
                                : QStringLiteral("Editable: double-click or F2 edits a cell"));
    label_->setToolTip(label_->text());
    for (QToolButton* b : {insert_, delete_, null_, undo_, redo_, discard_, save_}) b->setVisible(editable);
    undo_->setEnabled(editable && editor_->changes()->canUndo());
    redo_->setEnabled(editable && editor_->changes()->canRedo());
    save_->setEnabled(pending);
    discard_->setEnabled(pending);
}

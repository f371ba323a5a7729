#include "editor/FindReplaceDialog.h"

#include "common/Theme.h"
#include "editor/SqlEditor.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FindReplaceDialog::FindReplaceDialog(SqlEditor* editor) : QDialog(editor->window()), editor_(editor) {
    setWindowFlag(Qt::Tool);
    setModal(false);
    auto* grid = new QGridLayout(this);
    find_ = new QLineEdit(this);
    replace_ = new QLineEdit(this);
    find_->setObjectName(QStringLiteral("findText"));
    replace_->setObjectName(QStringLiteral("replaceText"));
    auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    findLabel->setBuddy(find_);
    replaceLabel_ = new QLabel(QStringLiteral("Re&place with:"), this);
    replaceLabel_->setBuddy(replace_);
    matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
    wholeWord_ = new QCheckBox(QStringLiteral("&Whole word"), this);
    wrap_ = new QCheckBox(QStringLiteral("Wra&p around"), this);
    wrap_->setChecked(true);
    auto* next = new QPushButton(QStringLiteral("&Find Next"), this);
    next->setDefault(true);
    replaceButton_ = new QPushButton(QStringLiteral("&Replace"), this);
    replaceAllButton_ = new QPushButton(QStringLiteral("Replace &All"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    status_ = new QLabel(this);
    Theme::setTextRole(status_, Theme::Role::DimText);

    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(find_, 0, 1);
    grid->addWidget(next, 0, 2);
    grid->addWidget(replaceLabel_, 1, 0);
    grid->addWidget(replace_, 1, 1);
    grid->addWidget(replaceButton_, 1, 2);
    auto* options = new QHBoxLayout;
    options->addWidget(matchCase_);
    options->addWidget(wholeWord_);
    options->addWidget(wrap_);
    options->addStretch();
    grid->addLayout(options, 2, 0, 1, 2);
    grid->addWidget(replaceAllButton_, 2, 2);
    grid->addWidget(status_, 3, 0, 1, 2);
    grid->addWidget(close, 3, 2);
    grid->setColumnStretch(1, 1);
    find_->setMinimumWidth(260);

    connect(next, &QPushButton::clicked, this, &FindReplaceDialog::findNext);
    connect(replaceButton_, &QPushButton::clicked, this, &FindReplaceDialog::replaceOne);
    connect(replaceAllButton_, &QPushButton::clicked, this, &FindReplaceDialog::replaceAll);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    for (QCheckBox* box : {matchCase_, wholeWord_, wrap_})
        connect(box, &QCheckBox::toggled, this, [this] { searching_ = false; });
    connect(find_, &QLineEdit::textChanged, this, [this] { searching_ = false; });
}

void FindReplaceDialog::showFor(bool withReplace, const QString& text) {
    setWindowTitle(withReplace ? QStringLiteral("Find and Replace") : QStringLiteral("Find"));
    for (QWidget* w : {static_cast<QWidget*>(replace_), static_cast<QWidget*>(replaceLabel_),
                       static_cast<QWidget*>(replaceButton_), static_cast<QWidget*>(replaceAllButton_)})
        w->setVisible(withReplace);
    if (!text.isEmpty()) find_->setText(text);
    status_->clear();
    searching_ = false;
    adjustSize();
    show();
    raise();
    activateWindow();
    find_->setFocus();
    find_->selectAll();
}

void FindReplaceDialog::setFindText(const QString& t) { find_->setText(t); }
void FindReplaceDialog::setReplaceText(const QString& t) { replace_->setText(t); }
void FindReplaceDialog::setMatchCase(bool on) { matchCase_->setChecked(on); }
void FindReplaceDialog::setWholeWord(bool on) { wholeWord_->setChecked(on); }
void FindReplaceDialog::setWrap(bool on) { wrap_->setChecked(on); }
QString FindReplaceDialog::status() const { return status_->text(); }

bool FindReplaceDialog::search(bool fromStart) {
    if (find_->text().isEmpty()) return false;
    bool found;
    if (searching_ && !fromStart) {
        found = editor_->findNext();
    } else {
        found = fromStart ? editor_->findFirst(find_->text(), false, matchCase_->isChecked(), wholeWord_->isChecked(),
                                               false, true, 0, 0)
                          : editor_->findFirst(find_->text(), false, matchCase_->isChecked(), wholeWord_->isChecked(),
                                               wrap_->isChecked());
        searching_ = found;
    }
    if (!found) searching_ = false;
    status_->setText(found ? QString() : QStringLiteral("\"%1\" was not found.").arg(find_->text()));
    return found;
}

bool FindReplaceDialog::findNext() { return search(false); }

bool FindReplaceDialog::replaceOne() {
    // Replace the current match (if the selection is one), then go to the next.
    const QString sel = editor_->selectedText();
    const bool isMatch = matchCase_->isChecked() ? sel == find_->text()
                                                 : sel.compare(find_->text(), Qt::CaseInsensitive) == 0;
    if (isMatch && searching_) editor_->replace(replace_->text());
    return search(false);
}

int FindReplaceDialog::replaceAll() {
    int count = 0;
    editor_->beginUndoAction();
    bool found = search(true);
    while (found) {
        editor_->replace(replace_->text());
        ++count;
        found = editor_->findNext();
    }
    editor_->endUndoAction();
    searching_ = false;
    status_->setText(QStringLiteral("%1 replaced.").arg(count));
    return count;
}

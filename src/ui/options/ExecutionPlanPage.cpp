#include "options/ExecutionPlanPage.h"

#include "options/OptionNotes_p.h"
#include "options/SettingsBindings.h"
#include "options/ToolSettingsPages.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

using settings::Key;

namespace {
// The chooser's items, in the order of the nested tabs.
const QStringList kTools = {QStringLiteral("ISQLW"), QStringLiteral("ISQL"), QStringLiteral("Other")};
constexpr int kOtherTool = 2;
} // namespace

ExecutionPlanPage::ExecutionPlanPage(SettingsBindings& bindings, QWidget* parent)
    : QWidget(parent), default_(new QRadioButton(QStringLiteral("Use Default ( ADO 2.7 )"), this)),
      userSpecific_(new QRadioButton(QStringLiteral("User Specific"), this)), chooser_(new QComboBox(this)),
      tabs_(new QTabWidget(this)) {
    auto* group = new QButtonGroup(this);
    group->addButton(default_);
    group->addButton(userSpecific_);
    chooser_->addItems(kTools);
    chooser_->setToolTip(QStringLiteral("The external program scripts are handed to"));
    tabs_->addTab(options::isqlwPage(bindings, tabs_), QStringLiteral("ISQLW Settings"));
    tabs_->addTab(options::isqlPage(bindings, tabs_), QStringLiteral("ISQL Settings"));
    tabs_->addTab(options::otherPage(bindings, tabs_), QStringLiteral("Other Settings"));

    auto* chosen = new QHBoxLayout;
    chosen->addWidget(userSpecific_);
    chosen->addWidget(chooser_);
    chosen->addStretch(1);
    auto* l = new QVBoxLayout(this);
    auto* first = new QHBoxLayout;
    first->addWidget(default_);
    first->addWidget(options::note(options::nextRunText(), this));
    first->addStretch(1);
    l->addLayout(first);
    l->addLayout(chosen);
    l->addWidget(tabs_, 1);

    // Chooser and nested tabs: one follows the other (setting the index one
    // already has signals nothing, so this cannot loop).
    connect(chooser_, &QComboBox::currentIndexChanged, tabs_, &QTabWidget::setCurrentIndex);
    connect(tabs_, &QTabWidget::currentChanged, chooser_, &QComboBox::setCurrentIndex);
    connect(userSpecific_, &QRadioButton::toggled, this, &ExecutionPlanPage::setToolsAvailable);
    setToolsAvailable(false);

    bindings.bindChoice(Key::ExecutionPlan, default_, userSpecific_);
    bindings.bind(
        Key::ExecutionSelected, chooser_,
        [this](const QString& v) {
            const int i = kTools.indexOf(v); // compared exactly, as the runs compare it
            chooser_->setCurrentIndex(i >= 0 ? i : kOtherTool);
            tabs_->setCurrentIndex(chooser_->currentIndex());
        },
        [this] { return chooser_->currentText(); });
}

void ExecutionPlanPage::setToolsAvailable(bool on) {
    chooser_->setEnabled(on);
    tabs_->setEnabled(on);
}

#include "options/OptionsDialog.h"

#include "help/Help.h"

#include "common/Dialogs.h"
#include "options/ExecutionPlanPage.h"
#include "options/GeneralOptionsPage.h"
#include "options/PathField.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("Options");
const QString kOkCaption = QStringLiteral("OK");
} // namespace

OptionsDialog::OptionsDialog(QWidget* parent)
    : QDialog(parent), tabs_(new QTabWidget(this)), general_(new GeneralOptionsPage(bindings_, tabs_)),
      execution_(new ExecutionPlanPage(bindings_, tabs_)), ok_(new QPushButton(kOkCaption, this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)),
      help_(new QPushButton(QStringLiteral("Help"), this)) {
    setWindowTitle(kTitle);
    tabs_->addTab(general_, QStringLiteral("General Options"));
    tabs_->addTab(execution_, QStringLiteral("Execution Plan"));
    for (const settings::KeySpec& k : settings::allKeys()) {
        Q_ASSERT(bindings_.isBound(k.key)); // every key of config.ini has its control
        Q_UNUSED(k);
    }

    ok_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(help_);
    auto* l = new QVBoxLayout(this);
    l->addWidget(tabs_, 1);
    l->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, &OptionsDialog::onOk);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(help_, &QPushButton::clicked, this, [this] { help::showHelp(this, QLatin1String(help::kSettingsTopic)); });

    readSettings();
}

OptionsDialog::~OptionsDialog() = default;

PathField* OptionsDialog::pathField(settings::Key key) const {
    QWidget* c = control(key);
    return c ? qobject_cast<PathField*>(c->parentWidget()) : nullptr;
}

void OptionsDialog::readSettings() {
    bindings_.show(settings::current());
}

bool OptionsDialog::saveSettings() {
    ok_->setText(QStringLiteral("Working..."));
    ok_->repaint();
    const Status written = settings::write(bindings_.values());
    ok_->setText(kOkCaption);
    if (!written) {
        Dialogs::get().message(this,
                               QStringLiteral("The options could not be saved, nothing was changed.\n\n") +
                                   written.error(),
                               kTitle);
        return false;
    }
    return true;
}

void OptionsDialog::onOk() {
    if (saveSettings()) accept();
}

#include "options/PathField.h"

#include "common/Dialogs.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

PathField::PathField(const QString& title, const QStringList& filters, QWidget* parent)
    : QWidget(parent), field_(new QLineEdit(this)), browse_(new QPushButton(QStringLiteral("..."), this)),
      title_(title), filters_(filters) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(field_, 1);
    row->addWidget(browse_);
    browse_->setToolTip(QStringLiteral("Choose a file"));
    browse_->setFixedWidth(browse_->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    setFocusProxy(field_);
    connect(browse_, &QPushButton::clicked, this, &PathField::browse);
}

void PathField::browse() {
    const QString current = field_->text().trimmed();
    const QString startIn = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    const QString chosen = Dialogs::get().openFileName(this, title_, filters_, startIn);
    if (!chosen.isEmpty()) field_->setText(chosen);
}

#include "common/ParameterDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

using script::ParameterType;
using script::ParameterValue;

ParameterDialog::ParameterDialog(const std::vector<script::ScriptParameters::Name>& names,
                                 const script::ParameterValues& remembered, QWidget* parent)
    : QDialog(parent), names_(names) {
    setObjectName(QStringLiteral("parameterDialog"));
    setWindowTitle(QStringLiteral("Parameters"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("The statement takes these values when it runs:"), this));
    table_ = new QTableWidget(int(names.size()), 4, this);
    table_->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Value"),
                                       QStringLiteral("NULL")});
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(ValueColumn, QHeaderView::Stretch);
    for (int row = 0; row < int(names.size()); ++row) {
        const auto& n = names[size_t(row)];
        const auto known = remembered.find(n.name);
        const ParameterValue value = known == remembered.end() ? ParameterValue{} : known->second;
        auto* name = new QTableWidgetItem(n.shown);
        name->setFlags(Qt::ItemIsEnabled);
        table_->setItem(row, NameColumn, name);
        auto* type = new QComboBox(table_);
        for (ParameterType t : script::parameterTypes()) type->addItem(script::typeName(t), int(t));
        type->setCurrentIndex(type->findData(int(value.type)));
        table_->setCellWidget(row, TypeColumn, type);
        table_->setItem(row, ValueColumn, new QTableWidgetItem(value.text));
        auto* isNull = new QTableWidgetItem;
        isNull->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        isNull->setCheckState(value.isNull ? Qt::Checked : Qt::Unchecked);
        table_->setItem(row, NullColumn, isNull);
    }
    table_->resizeColumnsToContents();
    table_->setMinimumWidth(480);
    layout->addWidget(table_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    if (!names.empty()) table_->setCurrentCell(0, ValueColumn);
}

script::ParameterValues ParameterDialog::values() const {
    script::ParameterValues out;
    for (int row = 0; row < int(names_.size()); ++row) {
        ParameterValue v;
        if (auto* type = qobject_cast<QComboBox*>(table_->cellWidget(row, TypeColumn)))
            v.type = ParameterType(type->currentData().toInt());
        v.text = table_->item(row, ValueColumn)->text();
        v.isNull = table_->item(row, NullColumn)->checkState() == Qt::Checked;
        out[names_[size_t(row)].name] = v;
    }
    return out;
}

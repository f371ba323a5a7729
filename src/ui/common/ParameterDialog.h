#pragma once
// The dialog that asks for a statement's parameter values: one row per
// parameter with its name as the script writes it, a type, the value and a
// NULL box. Rows start from the values given last time (by name).

#include "script/ParameterBinding.h"

#include <QDialog>

class QTableWidget;

class ParameterDialog : public QDialog {
    Q_OBJECT
public:
    enum Column { NameColumn, TypeColumn, ValueColumn, NullColumn };

    ParameterDialog(const std::vector<script::ScriptParameters::Name>& names,
                    const script::ParameterValues& remembered, QWidget* parent = nullptr);

    // What the rows hold now, by parameter name.
    script::ParameterValues values() const;
    QTableWidget* table() const { return table_; }

private:
    std::vector<script::ScriptParameters::Name> names_;
    QTableWidget* table_;
};

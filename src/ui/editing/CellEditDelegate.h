#pragma once
// The editor of a grid cell, chosen by the column's type: a yes/no choice
// for booleans, a line that takes only a number for numbers, a line with
// the expected layout shown for dates and times, hex digits for binary
// values, plain text otherwise. Painting stays with the grid's own delegate
// (NULL greyed, and so on), which this one wraps.
//
// A cell the user opened and left without typing keeps its value, so a
// NULL does not become empty text by a look.

#include "db/Field.h"

#include <QStyledItemDelegate>

#include <functional>

class CellEditDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // painter: the grid's delegate (not owned); fields(): the columns' types.
    CellEditDelegate(QAbstractItemDelegate* painter, std::function<const std::vector<db::Field>&()> fields,
                     QObject* parent = nullptr);

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    db::FieldType typeOf(const QModelIndex& index) const;

    QAbstractItemDelegate* painter_;
    std::function<const std::vector<db::Field>&()> fields_;
};

#include "catalog/ObjectFilter.h"

#include "catalog/ObjectTreeModel.h"
#include "common/ClearButton.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QTreeView>

#include <algorithm>

ObjectFilter::ObjectFilter(QTreeView* tree, ObjectTreeModel* model, QWidget* parent)
    : QWidget(parent), tree_(tree), model_(model) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("objectFilter"));
    edit_->setPlaceholderText(QStringLiteral("Filter objects by name"));
    common::clearButtonWhenTyped(edit_);
    edit_->setToolTip(QStringLiteral("Shows only the tables, views and procedures whose name contains this text"));
    layout->addWidget(edit_);
    connect(edit_, &QLineEdit::textChanged, this, &ObjectFilter::apply);

    // the user's expansions, by node; a reset of the model by the filter
    // collapses the view without the user asking
    connect(tree_, &QTreeView::expanded, this, [this](const QModelIndex& i) {
        if (!applying_) expanded_.insert(model_->idOf(i));
    });
    connect(tree_, &QTreeView::collapsed, this, [this](const QModelIndex& i) {
        if (!applying_) expanded_.remove(model_->idOf(i));
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        if (!applying_) expanded_.clear(); // the tree was rebuilt
    });
}

void ObjectFilter::setText(const QString& text) {
    edit_->setText(text);
}

void ObjectFilter::apply(const QString& text) {
    const int current = model_->idOf(tree_->currentIndex());
    applying_ = true;
    model_->setFilter(text.trimmed());
    // ids grow from parent to child, so parents open first
    QList<int> open(expanded_.begin(), expanded_.end());
    std::sort(open.begin(), open.end());
    for (int id : open)
        if (id <= model_->count() && model_->isShown(id)) tree_->expand(model_->indexOf(id));
    applying_ = false;
    if (current > ObjectTreeModel::kTop && current <= model_->count() && model_->isShown(current))
        tree_->setCurrentIndex(model_->indexOf(current));
}

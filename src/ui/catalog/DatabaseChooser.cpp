#include "catalog/DatabaseChooser.h"

#include "base/Background.h"
#include "catalog/ConnectionSummary.h"
#include "common/DocumentContext.h"
#include "common/ResourceIcon.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QIcon>

namespace {

// Names with one picture for the first entry and one for the rest.
class EntryModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;
    void set(QStringList names, QIcon first, QIcon rest) {
        beginResetModel();
        names_ = std::move(names);
        first_ = std::move(first);
        rest_ = std::move(rest);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(names_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= names_.size()) return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole) return names_[index.row()];
        if (role == Qt::DecorationRole) return index.row() == 0 ? first_ : rest_;
        return {};
    }
    const QStringList& names() const { return names_; }

private:
    QStringList names_;
    QIcon first_, rest_;
};

EntryModel* model(QAbstractListModel* m) {
    return static_cast<EntryModel*>(m);
}

} // namespace

DatabaseChooser::DatabaseChooser(DocumentContext& context, QComboBox* combo, QObject* parent)
    : QObject(parent), context_(context), combo_(combo), entries_(new EntryModel(this)) {
    combo_->setModel(entries_);
    connect(combo_, &QComboBox::activated, this, &DatabaseChooser::onActivated);
}

void DatabaseChooser::reset() {
    ++generation_;
    switching_ = 0;
    catalogueServer_ = false;
    model(entries_)->set({}, {}, {});
}

void DatabaseChooser::showNoConnection() {
    context_.setDatabase(QString());
    catalogueServer_ = false;
    model(entries_)->set({QStringLiteral("[NO CONNECTION]")}, {}, {});
    combo_->setCurrentIndex(0);
}

void DatabaseChooser::setCatalogues(const QStringList& catalogues, const QString& current) {
    catalogueServer_ = true;
    context_.setDatabase(current);
    QStringList names = catalogues;
    if (!current.isEmpty() && !names.contains(current)) names << current;
    const QIcon icon = common::resourceIcon(QStringLiteral("database"));
    model(entries_)->set(names, icon, icon);
    selectText(current);
}

void DatabaseChooser::setTables(const QString& database, const QStringList& tables) {
    catalogueServer_ = false;
    context_.setDatabase(database);
    model(entries_)->set(QStringList{database} + tables, common::resourceIcon(QStringLiteral("database")),
                         common::resourceIcon(QStringLiteral("obj-table")));
    combo_->setCurrentIndex(0);
}

void DatabaseChooser::selectText(const QString& text) {
    const int row = int(model(entries_)->names().indexOf(text));
    if (row >= 0) combo_->setCurrentIndex(row);
}

void DatabaseChooser::choose(const QString& name) {
    if (!catalogueServer_ || name.isEmpty()) return;
    if (!model(entries_)->names().contains(name)) {
        QStringList names = model(entries_)->names();
        names << name;
        const QIcon icon = common::resourceIcon(QStringLiteral("database"));
        model(entries_)->set(names, icon, icon);
    }
    selectText(name);
    onActivated(combo_->currentIndex());
}

void DatabaseChooser::onActivated(int row) {
    const QString chosen = model(entries_)->names().value(row);
    if (!catalogueServer_) {
        // a single database: the entries after the first are tables
        if (row > 0) emit tableChosen(chosen);
        combo_->setCurrentIndex(0);
        return;
    }
    if (chosen.isEmpty() || !context_.hasConnection()) return;
    const QString previous = context_.database();
    context_.setDatabase(chosen); // runs started from now on use it
    emit message(QStringLiteral("Changing Default Database to: ") + chosen);
    ++switching_;
    const quint64 generation = generation_;
    const QString cs = context_.connectionString();
    runInBackground<Result<QString>>(
        this, [cs, chosen] { return catalog::switchDatabase(cs, chosen); },
        [this, generation, chosen, previous](Result<QString> r) {
            if (generation != generation_) return;
            --switching_;
            if (context_.database() != chosen) return; // a later choice wins
            if (r.ok() && !r.value().isEmpty()) {
                context_.setDatabase(r.value());
            } else if (!r.ok()) {
                context_.setDatabase(previous);
                emit message(QStringLiteral("Changing Default Database to: ") + chosen +
                             QStringLiteral("\r\nError: ") + r.error() +
                             QStringLiteral("\r\nThe database stays ") +
                             (previous.isEmpty() ? QStringLiteral("the connection's default.")
                                                 : previous + QLatin1Char('.')));
            }
            selectText(context_.database());
            emit databaseChanged(context_.database());
        });
}

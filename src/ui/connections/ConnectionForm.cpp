#include "connections/ConnectionForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

std::optional<QString> firstOf(const db::ConnectionString& cs, const QStringList& names) {
    for (const QString& n : names)
        if (const auto v = cs.value(n)) return v;
    return std::nullopt;
}

} // namespace

void ConnectionForm::userEdit(const std::function<void(db::ConnectionString&)>& write) {
    if (showing_) return;
    write(model_);
    setModel(model_); // fields of the same key, and those whose default follows another key
    emit edited();
}

void ConnectionForm::bindText(QLineEdit* edit, const QStringList& names) {
    bindings_.push_back({[edit, names](const db::ConnectionString& cs) {
        const QString v = firstOf(cs, names).value_or(QString());
        if (edit->text() != v) edit->setText(v);
    }});
    connect(edit, &QLineEdit::textChanged, this, [this, names](const QString& text) {
        userEdit([&](db::ConnectionString& cs) {
            // one name for the key from now on: the first
            for (const QString& n : names.mid(1))
                cs.remove(n);
            if (text.isEmpty())
                cs.remove(names.first());
            else
                cs.set(names.first(), text);
        });
    });
}

void ConnectionForm::bindCheck(QCheckBox* box, const QString& key) {
    bindings_.push_back({[box, key](const db::ConnectionString& cs) {
        box->setChecked(db::isTrueValue(cs.value(key).value_or(QString())));
    }});
    connect(box, &QCheckBox::toggled, this, [this, key](bool on) {
        userEdit([&](db::ConnectionString& cs) {
            if (on)
                cs.set(key, QStringLiteral("1"));
            else
                cs.remove(key);
        });
    });
}

void ConnectionForm::bindChoice(QComboBox* box, const QString& key) {
    // An editable box takes any text (its items are suggestions); a fixed one
    // stands for its items' data.
    bindings_.push_back({[box, key](const db::ConnectionString& cs) {
        const QString v = cs.value(key).value_or(QString()).trimmed();
        if (box->isEditable()) {
            box->setEditText(v);
            return;
        }
        box->setCurrentIndex(std::max(box->findData(v, Qt::UserRole, Qt::MatchFixedString), 0)); // any case
    }});
    auto written = [this, box, key] {
        const QString v = (box->isEditable() ? box->currentText() : box->currentData().toString()).trimmed();
        userEdit([&](db::ConnectionString& cs) {
            if (v.isEmpty())
                cs.remove(key);
            else
                cs.set(key, v);
        });
    };
    if (box->isEditable())
        connect(box, &QComboBox::editTextChanged, this, written);
    else
        connect(box, &QComboBox::currentIndexChanged, this, written);
}

std::function<void()> ConnectionForm::bindCustom(std::function<void(const db::ConnectionString&)> show,
                                                 std::function<void(db::ConnectionString&)> write) {
    bindings_.push_back({std::move(show)});
    return [this, write = std::move(write)] { userEdit(write); };
}

void ConnectionForm::setModel(const db::ConnectionString& model) {
    model_ = model;
    showing_ = true;
    for (const Binding& b : bindings_)
        b.show(model_);
    showing_ = false;
}

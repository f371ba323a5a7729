#pragma once
// The fields of the connection dialog bound to the keys of one connection
// string, both ways: an edit in a field sets (or, emptied, removes) its key
// and keeps every other key of the string as it was; a string set from
// outside (typed or pasted as a whole) fills the fields from its keys. A
// field reads its key under any of the names the drivers accept and writes
// the first.

#include "db/ConnectionString.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;

class ConnectionForm : public QObject {
    Q_OBJECT
public:
    explicit ConnectionForm(QObject* parent = nullptr) : QObject(parent) {}

    // names: the key as written first, then the names it is also read under.
    void bindText(QLineEdit* edit, const QStringList& names);
    // A yes/no key: ticked writes "1", unticked removes the key.
    void bindCheck(QCheckBox* box, const QString& key);
    // A choice whose items carry the key's values as data ("" removes it).
    void bindChoice(QComboBox* box, const QString& key);
    // A field of its own kind: show fills it from the string; write puts it
    // into the string; call the returned function when the user changed it.
    std::function<void()> bindCustom(std::function<void(const db::ConnectionString&)> show,
                                     std::function<void(db::ConnectionString&)> write);

    const db::ConnectionString& model() const { return model_; }
    // Replaces the string and fills every field from it.
    void setModel(const db::ConnectionString& model);

signals:
    // The user changed a field; the model holds the change.
    void edited();

private:
    struct Binding {
        std::function<void(const db::ConnectionString&)> show;
    };
    void userEdit(const std::function<void(db::ConnectionString&)>& write);

    db::ConnectionString model_;
    std::vector<Binding> bindings_;
    bool showing_ = false; // fields are being filled from the model
};

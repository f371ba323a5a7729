#pragma once
// What a list-like widget shows, in order: the entries of a combo box, the
// captions of a tab widget, the first-column texts of a tree item's children.

#include <QComboBox>
#include <QStringList>
#include <QTabWidget>
#include <QTreeWidgetItem>

inline QStringList comboTexts(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

inline QStringList tabTexts(const QTabWidget* tabs) {
    QStringList out;
    for (int i = 0; i < tabs->count(); ++i)
        out << tabs->tabText(i);
    return out;
}

// None for no item.
inline QStringList childTexts(const QTreeWidgetItem* item) {
    QStringList out;
    for (int i = 0; item && i < item->childCount(); ++i)
        out << item->child(i)->text(0);
    return out;
}

#pragma once
// The small grey notes beside the options that say when a setting takes
// effect, so nobody wonders why an open document did not change.

#include <QLabel>

namespace options {

// For settings that a query document takes when it is created.
inline QString newDocumentsText() {
    return QStringLiteral("(new documents)");
}
// For the editor's settings, which every document follows as soon as they change.
inline QString atOnceText() {
    return QStringLiteral("(at once)");
}
// For settings read each time a script runs.
inline QString nextRunText() {
    return QStringLiteral("(next run)");
}

inline QLabel* note(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QStringLiteral("optionNote"));
    l->setForegroundRole(QPalette::PlaceholderText);
    l->setToolTip(
        text == newDocumentsText() ? QStringLiteral("Takes effect in query documents opened after OK; open documents keep theirs.")
        : text == atOnceText()     ? QStringLiteral("Takes effect on OK in every query document, open ones included.")
                                   : QStringLiteral("Takes effect from the next run after OK, also in open documents."));
    return l;
}

} // namespace options

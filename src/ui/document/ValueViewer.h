#pragma once
// A cell's whole value in a window of its own: long text (a hundred
// megabytes too) that the grid shows only the start of, with its size, a
// way to copy it and to save it to a file. NULL says so.

#include <QDialog>

#include <optional>

class QPlainTextEdit;

class ValueViewer : public QDialog {
    Q_OBJECT
public:
    // value: nullopt for NULL.
    ValueViewer(QWidget* parent, const QString& column, const std::optional<QString>& value);
    // Shows a viewer for the value (it closes itself when closed).
    static ValueViewer* show(QWidget* parent, const QString& column, const std::optional<QString>& value);
    QString text() const;

private:
    void saveToFile();

    QPlainTextEdit* text_;
    std::optional<QString> value_;
};

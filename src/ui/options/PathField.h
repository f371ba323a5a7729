#pragma once
// A file path the user may type or pick: a text box with a "..." button that
// opens the file dialog (through Dialogs). Cancelling the dialog keeps the
// path that was there.

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QPushButton;

class PathField : public QWidget {
    Q_OBJECT
public:
    // title names the file dialog; filters are Qt name filters.
    PathField(const QString& title, const QStringList& filters, QWidget* parent = nullptr);

    QLineEdit* field() const { return field_; }
    QPushButton* browseButton() const { return browse_; }

    // Asks for a file, starting in the folder of the current path.
    void browse();

private:
    QLineEdit* field_;
    QPushButton* browse_;
    QString title_;
    QStringList filters_;
};

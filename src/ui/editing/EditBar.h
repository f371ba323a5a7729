#pragma once
// The line above an editable grid: why the result is read-only, or what is
// pending ("2 changed, 1 inserted"), with the editing commands as buttons:
// "Save changes", "Discard", "Insert Row", "Delete Rows", "Set NULL",
// "Undo", "Redo". It follows its GridEditor's state.

#include <QWidget>

class GridEditor;
class QLabel;
class QToolButton;

class EditBar : public QWidget {
    Q_OBJECT
public:
    EditBar(GridEditor* editor, QWidget* parent = nullptr);

    QString text() const;

signals:
    void saveRequested();
    void discardRequested();

private:
    void refresh();
    QToolButton* button(const QString& text, const QString& objectName, const QString& tip);

    GridEditor* editor_;
    QLabel* label_;
    QToolButton *save_, *discard_, *insert_, *delete_, *null_, *undo_, *redo_;
};

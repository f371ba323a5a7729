#include "common/ReviewDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ReviewDialog::ReviewDialog(const QString& title, const QString& intro, const QString& text, const QStringList& buttons,
                           QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    setObjectName(QStringLiteral("reviewDialog"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(intro, this);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* pane = new QPlainTextEdit(this);
    pane->setReadOnly(true);
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    pane->setPlainText(text);
    layout->addWidget(pane, 1);
    auto* box = new QDialogButtonBox(this);
    for (int i = 0; i < buttons.size(); ++i) {
        QPushButton* b = box->addButton(buttons[i], QDialogButtonBox::ActionRole);
        if (i == 0) b->setDefault(true);
        connect(b, &QPushButton::clicked, this, [this, i] {
            choice_ = i;
            accept();
        });
    }
    layout->addWidget(box);
    resize(720, 420);
}

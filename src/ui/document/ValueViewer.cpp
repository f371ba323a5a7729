#include "document/ValueViewer.h"

#include "common/Dialogs.h"
#include "settings/AtomicFile.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ValueViewer::ValueViewer(QWidget* parent, const QString& column, const std::optional<QString>& value)
    : QDialog(parent), value_(value) {
    setObjectName(QStringLiteral("valueViewer"));
    setWindowTitle(QStringLiteral("Value of %1").arg(column));
    auto* layout = new QVBoxLayout(this);
    const qint64 bytes = value ? value->toUtf8().size() : 0;
    auto* size = new QLabel(value ? QStringLiteral("%1 characters, %2")
                                        .arg(QLocale().toString(value->size()), QLocale().formattedDataSize(bytes))
                                  : QStringLiteral("NULL"),
                            this);
    layout->addWidget(size);
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    if (value) text_->setPlainText(*value);
    else text_->setPlaceholderText(QStringLiteral("NULL"));
    layout->addWidget(text_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    QPushButton* save = buttons->addButton(QStringLiteral("&Save to File..."), QDialogButtonBox::ActionRole);
    copy->setEnabled(value.has_value());
    save->setEnabled(value.has_value());
    connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(value_.value_or(QString())); });
    connect(save, &QPushButton::clicked, this, &ValueViewer::saveToFile);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 480);
}

ValueViewer* ValueViewer::show(QWidget* parent, const QString& column, const std::optional<QString>& value) {
    auto* viewer = new ValueViewer(parent, column, value);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->QDialog::show();
    return viewer;
}

QString ValueViewer::text() const { return text_->toPlainText(); }

void ValueViewer::saveToFile() {
    const QString path = Dialogs::get().saveFileName(this, QStringLiteral("Save Value"),
                                                     {QStringLiteral("All Files (*)")}, QDir::homePath());
    if (path.isEmpty() || !value_) return;
    const Status saved = settings::writeFileAtomically(path, value_->toUtf8(), settings::kShared);
    if (!saved)
        Dialogs::get().message(this, QStringLiteral("The value was not saved to %1.\n%2").arg(path, saved.error()),
                               QStringLiteral("Save Value"));
}

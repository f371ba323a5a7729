#include "common/Dialogs.h"

#include "common/ParameterDialog.h"
#include "common/ReviewDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace {
Dialogs* installed = nullptr;

QString appTitle(const QString& title) { return title.isEmpty() ? QStringLiteral("SQL Query Editor") : title; }
} // namespace

Dialogs& Dialogs::get() {
    static QtDialogs real;
    return installed ? *installed : real;
}

void Dialogs::install(Dialogs* d) { installed = d; }

void QtDialogs::message(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox::information(parent, appTitle(title), text);
}

Dialogs::Answer QtDialogs::question(QWidget* parent, const QString& text, const QString& title, Buttons buttons) {
    const auto choices = buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                   : QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    switch (QMessageBox::question(parent, appTitle(title), text, choices,
                                  buttons == Buttons::YesNo ? QMessageBox::No : QMessageBox::Cancel)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

int QtDialogs::choose(QWidget* parent, const QString& text, const QString& title, const QStringList& buttons,
                      int defaultButton, int escapeButton) {
    QMessageBox box(QMessageBox::Question, appTitle(title), text, QMessageBox::NoButton, parent);
    std::vector<QPushButton*> made;
    for (const QString& label : buttons) made.push_back(box.addButton(label, QMessageBox::AcceptRole));
    if (defaultButton >= 0 && size_t(defaultButton) < made.size()) box.setDefaultButton(made[size_t(defaultButton)]);
    if (escapeButton >= 0 && size_t(escapeButton) < made.size()) box.setEscapeButton(made[size_t(escapeButton)]);
    box.exec();
    for (size_t i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i]) return int(i);
    return -1;
}

int QtDialogs::review(QWidget* parent, const QString& title, const QString& intro, const QString& text,
                      const QStringList& buttons) {
    ReviewDialog dialog(appTitle(title), intro, text, buttons, parent);
    dialog.exec();
    return dialog.choice();
}

std::optional<QString> QtDialogs::input(QWidget* parent, const QString& prompt, const QString& title,
                                        const QString& defaultText) {
    bool ok = false;
    const QString v = QInputDialog::getText(parent, appTitle(title), prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? std::optional<QString>(v) : std::nullopt;
}

std::optional<QString> QtDialogs::secret(QWidget* parent, const QString& prompt, const QString& title) {
    bool ok = false;
    const QString v = QInputDialog::getText(parent, appTitle(title), prompt, QLineEdit::Password, QString(), &ok);
    return ok ? std::optional<QString>(v) : std::nullopt;
}

std::optional<int> QtDialogs::inputNumber(QWidget* parent, const QString& prompt, const QString& title, int value,
                                          int min, int max) {
    bool ok = false;
    const int v = QInputDialog::getInt(parent, appTitle(title), prompt, value, min, max, 1, &ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

QString QtDialogs::openFileName(QWidget* parent, const QString& title, const QStringList& filters,
                                const QString& startIn) {
    return QFileDialog::getOpenFileName(parent, appTitle(title), startIn.isEmpty() ? QDir::homePath() : startIn,
                                        filters.join(QStringLiteral(";;")));
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& title, const QStringList& filters,
                                const QString& startIn, QString* selectedFilter) {
    return QFileDialog::getSaveFileName(parent, appTitle(title), startIn.isEmpty() ? QDir::homePath() : startIn,
                                        filters.join(QStringLiteral(";;")), selectedFilter);
}

std::optional<NewConnection> QtDialogs::newConnection(QWidget*, ConnectionKind) { return std::nullopt; }

std::optional<script::ParameterValues>
QtDialogs::parameterValues(QWidget* parent, const std::vector<script::ScriptParameters::Name>& names,
                           const script::ParameterValues& remembered) {
    ParameterDialog dialog(names, remembered, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.values();
}

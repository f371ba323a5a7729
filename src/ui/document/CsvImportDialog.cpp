#include "document/CsvImportDialog.h"

#include "base/Background.h"
#include "catalog/SchemaReader.h"
#include "common/Dialogs.h"
#include "document/CsvImportRun.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kPreviewRows = 50;
const QString kNoField = QStringLiteral("(default)");

QComboBox* characterBox(QWidget* parent, const std::vector<std::pair<QString, char>>& choices) {
    auto* box = new QComboBox(parent);
    for (const auto& [name, c] : choices) box->addItem(name, int(c));
    return box;
}

} // namespace

CsvImportDialog::CsvImportDialog(const QString& connectionString, const QString& database, QWidget* parent)
    : QDialog(parent), connectionString_(connectionString), database_(database), run_(new CsvImportRun(this)) {
    setObjectName(QStringLiteral("csvImportDialog"));
    setWindowTitle(QStringLiteral("Import CSV"));
    resize(760, 620);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* fileRow = new QHBoxLayout;
    fileEdit_ = new QLineEdit(this);
    fileEdit_->setReadOnly(true);
    auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
    fileRow->addWidget(fileEdit_, 1);
    fileRow->addWidget(browse);
    form->addRow(QStringLiteral("File:"), fileRow);

    auto* formatRow = new QHBoxLayout;
    delimiter_ = characterBox(this, {{QStringLiteral("comma"), ','}, {QStringLiteral("semicolon"), ';'},
                                     {QStringLiteral("tab"), '\t'}, {QStringLiteral("|"), '|'}});
    quote_ = characterBox(this, {{QStringLiteral("\""), '"'}, {QStringLiteral("'"), '\''}, {QStringLiteral("none"), '\0'}});
    header_ = new QCheckBox(QStringLiteral("First row names the fields"), this);
    encoding_ = new QComboBox(this);
    for (csv::Encoding e : csv::encodings()) encoding_->addItem(csv::encodingName(e), int(e));
    null_ = new QLineEdit(this);
    null_->setPlaceholderText(QStringLiteral("empty field"));
    null_->setMaximumWidth(100);
    formatRow->addWidget(new QLabel(QStringLiteral("Delimiter:"), this));
    formatRow->addWidget(delimiter_);
    formatRow->addWidget(new QLabel(QStringLiteral("Quote:"), this));
    formatRow->addWidget(quote_);
    formatRow->addWidget(new QLabel(QStringLiteral("Encoding:"), this));
    formatRow->addWidget(encoding_);
    formatRow->addWidget(new QLabel(QStringLiteral("NULL:"), this));
    formatRow->addWidget(null_);
    formatRow->addStretch();
    form->addRow(QStringLiteral("Format:"), formatRow);
    form->addRow(QString(), header_);
    table_ = new QLineEdit(this);
    table_->setObjectName(QStringLiteral("importTable"));
    form->addRow(QStringLiteral("Table:"), table_);
    layout->addLayout(form);

    preview_ = new QTableWidget(this);
    preview_->setObjectName(QStringLiteral("importPreview"));
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(new QLabel(QStringLiteral("First rows:"), this));
    layout->addWidget(preview_, 2);
    columns_ = new QTableWidget(0, 3, this);
    columns_->setObjectName(QStringLiteral("importColumns"));
    columns_->setHorizontalHeaderLabels({QStringLiteral("Column"), QStringLiteral("Type"), QStringLiteral("From field")});
    columns_->horizontalHeader()->setStretchLastSection(true);
    columns_->verticalHeader()->hide();
    layout->addWidget(new QLabel(QStringLiteral("Columns:"), this));
    layout->addWidget(columns_, 1);

    skip_ = new QCheckBox(QStringLiteral("Skip bad rows and list them (else a bad row imports nothing)"), this);
    layout->addWidget(skip_);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    layout->addWidget(progress_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("importStatus"));
    status_->setWordWrap(true);
    layout->addWidget(status_);
    bad_ = new QPlainTextEdit(this);
    bad_->setReadOnly(true);
    bad_->setMaximumHeight(90);
    bad_->hide();
    layout->addWidget(bad_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    importButton_ = buttons->addButton(QStringLiteral("Import"), QDialogButtonBox::ActionRole);
    stopButton_ = buttons->addButton(QStringLiteral("Stop"), QDialogButtonBox::ActionRole);
    stopButton_->setEnabled(false);
    layout->addWidget(buttons);

    connect(browse, &QPushButton::clicked, this, [this] {
        const QString file = Dialogs::get().openFileName(
            this, QStringLiteral("Import CSV"),
            {QStringLiteral("CSV Files (*.csv *.tsv *.txt)"), QStringLiteral("All Files (*)")});
        if (!file.isEmpty()) setFile(file);
    });
    auto reread = [this] {
        if (!updating_ && !file_.isEmpty()) readPreview(chosenFormat());
    };
    for (QComboBox* box : {delimiter_, quote_, encoding_})
        connect(box, &QComboBox::currentIndexChanged, this, reread);
    connect(header_, &QCheckBox::toggled, this, reread);
    connect(null_, &QLineEdit::editingFinished, this, reread);
    connect(table_, &QLineEdit::editingFinished, this, [this] { setTable(table_->text()); });
    connect(importButton_, &QPushButton::clicked, this, &CsvImportDialog::startImport);
    connect(stopButton_, &QPushButton::clicked, this, &CsvImportDialog::stopImport);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] {
        if (!run_->isRunning()) reject();
    });
    connect(run_, &CsvImportRun::progress, this, [this](qint64 rows, int percent) {
        progress_->setValue(percent);
        status_->setText(QStringLiteral("%1 row(s) sent...").arg(rows));
    });
    connect(run_, &CsvImportRun::finished, this, &CsvImportDialog::finish);
}

bool CsvImportDialog::isBusy() const { return reading_ > 0 || run_->isRunning(); }

csv::Format CsvImportDialog::chosenFormat() const {
    csv::Format f;
    f.delimiter = char(delimiter_->currentData().toInt());
    f.quote = char(quote_->currentData().toInt());
    f.header = header_->isChecked();
    f.encoding = csv::Encoding(encoding_->currentData().toInt());
    f.nullMarker = null_->text();
    return f;
}

void CsvImportDialog::showFormat(const csv::Format& f) {
    updating_ = true;
    if (delimiter_->findData(int(f.delimiter)) < 0) delimiter_->addItem(QString(QLatin1Char(f.delimiter)), int(f.delimiter));
    delimiter_->setCurrentIndex(delimiter_->findData(int(f.delimiter)));
    quote_->setCurrentIndex(std::max(0, quote_->findData(int(f.quote))));
    header_->setChecked(f.header);
    encoding_->setCurrentIndex(std::max(0, encoding_->findData(int(f.encoding))));
    updating_ = false;
}

void CsvImportDialog::setFile(const QString& file) {
    file_ = file;
    fileEdit_->setText(file);
    readPreview(std::nullopt);
}

void CsvImportDialog::readPreview(std::optional<csv::Format> format) {
    previewData_ = csv::readPreview(file_, format, kPreviewRows);
    preview_->clear();
    if (!previewData_.error.isEmpty()) {
        status_->setText(previewData_.error);
        preview_->setRowCount(0);
        preview_->setColumnCount(0);
        return;
    }
    if (!format) showFormat(previewData_.format);
    status_->clear();
    const int fields = int(previewData_.fieldNames.size());
    preview_->setColumnCount(fields);
    QStringList headers;
    for (int c = 0; c < fields; ++c)
        headers << QStringLiteral("%1\n%2").arg(previewData_.fieldNames[c],
                                               csv::columnTypeName(previewData_.guesses[size_t(c)].type()));
    preview_->setHorizontalHeaderLabels(headers);
    preview_->setRowCount(int(previewData_.rows.size()));
    for (int r = 0; r < int(previewData_.rows.size()); ++r) {
        const csv::Record& rec = previewData_.rows[size_t(r)];
        for (int c = 0; c < fields && c < rec.size(); ++c) {
            const QString text = rec.string(c);
            const bool isNull = !rec.quoted(c) && text == previewData_.format.nullMarker;
            auto* item = new QTableWidgetItem(isNull ? QStringLiteral("NULL") : text);
            if (isNull) item->setForeground(palette().placeholderText());
            preview_->setItem(r, c, item);
        }
    }
    fillColumns();
}

void CsvImportDialog::setTable(const QString& table) {
    table_->setText(table);
    if (table.trimmed().isEmpty()) return;
    ++reading_;
    const QString cs = connectionString_, database = database_, name = table.trimmed();
    runInBackground<Result<QStringList>>(
        this, [cs, database, name] { return catalog::getColumnList(cs, name, database); },
        [this](Result<QStringList> columns) {
            --reading_;
            if (!columns.ok()) {
                status_->setText(columns.error());
                return;
            }
            tableColumns_ = columns.value();
            exists_ = !tableColumns_.isEmpty();
            status_->setText(exists_ ? QStringLiteral("The rows go into the existing table.")
                                     : QStringLiteral("A new table is created with the columns below."));
            fillColumns();
            emit tableRead();
        });
}

void CsvImportDialog::fillColumns() {
    columns_->setRowCount(0);
    if (!previewData_.error.isEmpty() || table_->text().trimmed().isEmpty()) return;
    const std::vector<csv::ImportColumn> plan =
        exists_ ? csv::existingTableColumns(previewData_, tableColumns_) : csv::newTableColumns(previewData_);
    columns_->setRowCount(int(plan.size()));
    for (int r = 0; r < int(plan.size()); ++r) {
        const csv::ImportColumn& col = plan[size_t(r)];
        auto* name = new QTableWidgetItem(col.name);
        if (exists_) name->setFlags(Qt::ItemIsEnabled);
        columns_->setItem(r, 0, name);
        auto* type = new QComboBox(columns_);
        for (csv::ColumnType t : csv::columnTypes()) type->addItem(csv::columnTypeName(t), int(t));
        type->setCurrentIndex(type->findData(int(col.type)));
        type->setEnabled(!exists_); // an existing column keeps its type
        columns_->setCellWidget(r, 1, type);
        auto* field = new QComboBox(columns_);
        field->addItem(kNoField, -1);
        for (int f = 0; f < previewData_.fieldNames.size(); ++f) field->addItem(previewData_.fieldNames[f], f);
        field->setCurrentIndex(field->findData(col.source));
        field->setEnabled(exists_); // a new table takes every field in order
        columns_->setCellWidget(r, 2, field);
    }
    columns_->resizeColumnsToContents();
}

std::vector<csv::ImportColumn> CsvImportDialog::chosenColumns() const {
    std::vector<csv::ImportColumn> plan =
        exists_ ? csv::existingTableColumns(previewData_, tableColumns_) : csv::newTableColumns(previewData_);
    for (int r = 0; r < int(plan.size()) && r < columns_->rowCount(); ++r) {
        csv::ImportColumn& col = plan[size_t(r)];
        if (!exists_) col.name = columns_->item(r, 0)->text().trimmed();
        if (auto* type = qobject_cast<QComboBox*>(columns_->cellWidget(r, 1)))
            col.type = csv::ColumnType(type->currentData().toInt());
        if (auto* field = qobject_cast<QComboBox*>(columns_->cellWidget(r, 2))) col.source = field->currentData().toInt();
    }
    return plan;
}

void CsvImportDialog::startImport() {
    if (isBusy()) return;
    if (file_.isEmpty() || !previewData_.error.isEmpty()) {
        status_->setText(QStringLiteral("Choose a CSV file to import first."));
        return;
    }
    if (table_->text().trimmed().isEmpty()) {
        status_->setText(QStringLiteral("Name the table the rows go into."));
        return;
    }
    csv::ImportRequest request;
    request.connectionString = connectionString_;
    request.database = database_;
    request.file = file_;
    request.format = chosenFormat();
    request.fieldCount = int(previewData_.fieldNames.size());
    request.table = table_->text().trimmed();
    request.createTable = !exists_;
    request.columns = chosenColumns();
    request.skipBadRows = skip_->isChecked();
    request.loginTimeoutSeconds = settings::current().loginTimeoutSeconds();
    for (const csv::ImportColumn& c : request.columns)
        if (c.name.isEmpty()) {
            status_->setText(QStringLiteral("Every column of the new table needs a name."));
            return;
        }
    bad_->clear();
    bad_->hide();
    progress_->setValue(0);
    status_->setText(QStringLiteral("Importing..."));
    setWorking(true);
    run_->start(std::move(request));
}

void CsvImportDialog::stopImport() { run_->stop(); }

void CsvImportDialog::finish(const csv::ImportResult& result) {
    setWorking(false);
    progress_->setValue(result.ok() ? 100 : 0);
    status_->setText(result.message);
    QStringList lines;
    for (const csv::BadRow& bad : result.badRows) lines << QStringLiteral("Line %1: %2").arg(bad.line).arg(bad.message);
    bad_->setPlainText(lines.join(QLatin1Char('\n')));
    bad_->setVisible(!lines.isEmpty());
    if (result.ok()) setTable(table_->text()); // the table exists now
    emit importFinished(result);
}

void CsvImportDialog::setWorking(bool working) {
    importButton_->setEnabled(!working);
    stopButton_->setEnabled(working);
    for (QWidget* w : std::initializer_list<QWidget*>{delimiter_, quote_, header_, encoding_, null_, table_, columns_, skip_})
        w->setEnabled(!working);
}

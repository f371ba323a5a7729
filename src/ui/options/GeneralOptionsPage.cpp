#include "options/GeneralOptionsPage.h"

#include "common/Theme.h"
#include "options/OptionNotes_p.h"
#include "options/SettingsBindings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

using settings::Key;

namespace {
const QStringList kFontSizes = {"6", "8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24"};

// A control with its note on the same line.
QWidget* withNote(QWidget* control, const QString& note, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* l = new QHBoxLayout(row);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(control);
    l->addWidget(options::note(note, row));
    l->addStretch(1);
    return row;
}

// A text box bound to key as a row of form, with its tool tip and, when
// given, a note beside it.
void addTextRow(QFormLayout* form, SettingsBindings& bindings, Key key, const char* label, const QString& tip,
                const QString& note, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    if (!tip.isEmpty()) edit->setToolTip(tip);
    bindings.bindText(key, edit);
    form->addRow(QString::fromUtf8(label), note.isEmpty() ? static_cast<QWidget*>(edit) : withNote(edit, note, parent));
}
} // namespace

GeneralOptionsPage::GeneralOptionsPage(SettingsBindings& bindings, QWidget* parent) : QWidget(parent) {
    auto* columns = new QHBoxLayout(this);
    columns->addWidget(buildChecks(bindings), 1);
    auto* right = new QVBoxLayout;
    right->addWidget(buildRowcount(bindings));
    right->addWidget(buildFont(bindings));
    right->addWidget(buildResults(bindings));
    right->addStretch(1);
    columns->addLayout(right, 1);
}

QWidget* GeneralOptionsPage::buildChecks(SettingsBindings& bindings) {
    auto* box = new QWidget(this);
    auto* l = new QVBoxLayout(box);
    l->setContentsMargins(0, 0, 0, 0);
    auto check = [&](Key key, const char* caption, const QString& note = QString()) {
        auto* c = new QCheckBox(QString::fromUtf8(caption), box);
        bindings.bindFlag(key, c);
        l->addWidget(note.isEmpty() ? static_cast<QWidget*>(c) : withNote(c, note, box));
    };
    check(Key::CodeSense, "Code Sense");
    check(Key::CatalogSense, "Catalog Sense");
    check(Key::AutoCorrectSyntax, "Auto Correct Syntax", options::atOnceText());
    check(Key::ConvertTabs, "Convert Tabs To Spaces", options::atOnceText());
    check(Key::ParseComments, "Parse Comments Locally");
    check(Key::ShowSplash, "Show Splash Screen ");
    check(Key::StartupQuery, "Show Startup Query");
    check(Key::SyntaxHighlight, "Syntax Highlight", options::atOnceText());
    check(Key::ConfirmUnfiltered, "Ask Before UPDATE/DELETE Without WHERE", options::nextRunText());
    check(Key::AutoCompleteDot, "Suggest Names After \".\"");
    check(Key::AutoCompleteWord, "Suggest Words After Two Letters");

    auto* form = new QFormLayout;
    form->setContentsMargins(0, 8, 0, 0);
    addTextRow(form, bindings, Key::LoginTimeout, "Login Timeout (secs):",
               QStringLiteral("Seconds to wait for a database login; 15 when empty or not a positive number."),
               options::nextRunText(), box);
    addTextRow(form, bindings, Key::QueryTerminator, "Query Terminator String:", QString(), QString(), box);
    addTextRow(form, bindings, Key::HistoryLimit, "History Entries Kept:",
               QStringLiteral("Runs the query history keeps (newest first); 0 adds no more runs and "
                              "keeps those already there, 5000 when empty or not a number."),
               options::nextRunText(), box);
    form->addRow(QStringLiteral("Theme:"), buildTheme(bindings));
    l->addLayout(form);
    l->addStretch(1);
    return box;
}

QWidget* GeneralOptionsPage::buildTheme(SettingsBindings& bindings) {
    theme_ = new QComboBox(this);
    theme_->setObjectName(QStringLiteral("themeBox"));
    theme_->setToolTip(QStringLiteral("The colours of the editor and the result panes; System suits the "
                                      "desktop's light or dark look. Also under View > Theme."));
    const std::pair<Theme::Choice, const char*> choices[] = {
        {Theme::Choice::System, "System"}, {Theme::Choice::Light, "Light"}, {Theme::Choice::Dark, "Dark"}};
    for (const auto& [choice, caption] : choices)
        theme_->addItem(QString::fromLatin1(caption), Theme::choiceName(choice));
    // anything but "light" or "dark" shows (and is saved) as System
    bindings.bind(
        Key::Theme, theme_,
        [this](const QString& v) {
            theme_->setCurrentIndex(theme_->findData(Theme::choiceName(Theme::choiceFromName(v))));
        },
        [this] { return theme_->currentData().toString(); });
    return theme_;
}

QWidget* GeneralOptionsPage::buildRowcount(SettingsBindings& bindings) {
    auto* frame = new QGroupBox(QStringLiteral("Rowcount"), this);
    auto* form = new QFormLayout(frame);
    auto* on = new QCheckBox(QStringLiteral("Rowcount ON"), frame);
    bindings.bindFlag(Key::RowCount, on);
    form->addRow(withNote(on, options::nextRunText(), frame));
    addTextRow(form, bindings, Key::RowCountValue, "Numbers:",
               QStringLiteral("Rows fetched per result set while Rowcount ON is ticked; "
                              "a value that is not a positive number fetches every row."),
               QString(), frame);
    addTextRow(form, bindings, Key::ResultMemoryLimit, "Ask When Results Pass (MB):",
               QStringLiteral("Megabytes of result rows a run may hold before it asks whether to go on; "
                              "a quarter of the machine's memory when empty or not a positive number."),
               options::nextRunText(), frame);
    addTextRow(form, bindings, Key::GridMemory, "Grid Rows In Memory (MB):",
               QStringLiteral("Megabytes the grids' rows may take in memory; older rows move to a temporary "
                              "file past it. 0 keeps every row in memory; 256 when empty or not a number."),
               options::nextRunText(), frame);
    addTextRow(form, bindings, Key::NullMarker, "NULL Shows As:",
               QStringLiteral("What a NULL cell of the grid shows (greyed); NULL when empty."), QString(), frame);
    addTextRow(form, bindings, Key::ExportNullText, "NULL In CSV Exports:",
               QStringLiteral("What copies and saves in CSV, TSV, Markdown and HTML write for NULL; "
                              "nothing when empty (an empty text is then written as \"\")."),
               QString(), frame);
    return frame;
}

QWidget* GeneralOptionsPage::buildFont(SettingsBindings& bindings) {
    auto* frame = new QGroupBox(QStringLiteral("Font"), this);
    auto* l = new QVBoxLayout(frame);
    auto* row = new QHBoxLayout;
    font_ = new QComboBox(frame);
    font_->setEditable(true);
    font_->setInsertPolicy(QComboBox::NoInsert);
    font_->addItems(QFontDatabase::families());
    font_->setEditText(QStringLiteral("Courier New"));
    font_->setMinimumContentsLength(16);
    fontSize_ = new QComboBox(frame);
    fontSize_->setEditable(true);
    fontSize_->setInsertPolicy(QComboBox::NoInsert);
    fontSize_->addItems(kFontSizes);
    fontSize_->setEditText(QStringLiteral("10"));
    fontSize_->setMinimumContentsLength(3);
    auto* caption = new QLabel(QStringLiteral("Font:"), frame);
    caption->setBuddy(font_);
    row->addWidget(caption);
    row->addWidget(font_, 1);
    row->addWidget(fontSize_);
    row->addWidget(options::note(options::atOnceText(), frame));
    l->addLayout(row);
    bindings.bindText(Key::Font, font_);
    bindings.bindText(Key::FontSize, fontSize_);

    preview_ = new QLabel(frame);
    preview_->setObjectName(QStringLiteral("fontPreview"));
    preview_->setFrameShape(QFrame::StyledPanel);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFixedHeight(56); // a large size must not push the buttons away
    preview_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    l->addWidget(preview_);
    connect(font_, &QComboBox::editTextChanged, this, &GeneralOptionsPage::updatePreview);
    connect(fontSize_, &QComboBox::editTextChanged, this, &GeneralOptionsPage::updatePreview);
    updatePreview();
    return frame;
}

QWidget* GeneralOptionsPage::buildResults(SettingsBindings& bindings) {
    auto* frame = new QGroupBox(QStringLiteral("Default Results"), this);
    auto* l = new QHBoxLayout(frame);
    grid_ = new QRadioButton(QStringLiteral("Grid"), frame);
    text_ = new QRadioButton(QStringLiteral("Text"), frame);
    auto* group = new QButtonGroup(frame);
    group->addButton(grid_);
    group->addButton(text_);
    l->addWidget(grid_);
    l->addWidget(text_);
    l->addWidget(options::note(options::newDocumentsText(), frame));
    l->addStretch(1);
    bindings.bindChoice(Key::ResultsIn, grid_, text_);
    return frame;
}

void GeneralOptionsPage::updatePreview() {
    const QString family = font_->currentText();
    const QString size = fontSize_->currentText();
    preview_->setText(family + QStringLiteral(" - ") + size);
    QFont f = font();
    if (!family.trimmed().isEmpty()) f.setFamilies({family.trimmed()});
    bool ok = false;
    const double points = size.trimmed().toDouble(&ok);
    if (ok && points >= 1 && points <= 96) f.setPointSizeF(points);
    preview_->setFont(f);
}

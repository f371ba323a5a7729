#include "common/Theme.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <array>
#include <cmath>

namespace {

using Role = Theme::Role;

struct Pair {
    const char* light;
    const char* dark;
};

// Both sets in one table, so a role cannot be missing from one of them.
// Text on its paper keeps a WCAG contrast of at least 4.5:1 in each set
// (tests/gui/ThemeTest checks every pair the program draws).
constexpr std::array<Pair, size_t(Role::Count)> kColours = {{
    /* Text */ {"#202020", "#d8d8d8"},
    /* Paper */ {"#ffffff", "#1e1f22"},
    /* Keyword */ {"#1f3fbf", "#7aa7ff"},
    /* Operator */ {"#8a4b08", "#e5a35c"},
    /* Function */ {"#a01cb0", "#d895ea"},
    /* DataType */ {"#17707c", "#4fc4b4"},
    /* Comment */ {"#2e7d32", "#7fb26a"},
    /* String */ {"#b02424", "#f08c84"},
    /* QuotedName */ {"#805050", "#d9aaa6"},
    /* Number */ {"#a85400", "#e8b86a"},
    /* MarginText */ {"#666666", "#9a9a9a"},
    /* MarginPaper */ {"#f3f3f3", "#26272b"},
    /* CaretLine */ {"#f2f6ff", "#2a2c33"},
    /* Caret */ {"#000000", "#f0f0f0"},
    /* Selection */ {"#c5d9f7", "#264f78"},
    /* BraceText */ {"#0000c0", "#ffd866"},
    /* BracePaper */ {"#dde8ff", "#3a3f4b"},
    /* BadBraceText */ {"#c00000", "#ff7a7a"},
    /* Bookmark */ {"#4285f4", "#5b9bff"},
    /* ErrorMark */ {"#d22828", "#f05252"},
    /* StatementFlash */ {"#ffb000", "#c08a00"},
    /* MessageText */ {"#202020", "#d8d8d8"},
    /* MessageError */ {"#c00000", "#ff7b72"},
    /* MessageKeyword */ {"#000080", "#8fb8ff"},
    /* MessageLineWord */ {"#000080", "#8fb8ff"},
    /* MessageString */ {"#1b6e1b", "#8ccf7e"},
    /* MessageComment */ {"#1b6e1b", "#8ccf7e"},
    /* ResultText */ {"#202020", "#d8d8d8"},
    /* ResultPaper */ {"#fcfcfc", "#1e1f22"},
    /* ResultAlternatePaper */ {"#f3f5f8", "#26282d"},
    /* NullText */ {"#6e6e6e", "#9b9b9b"},
    /* GridLine */ {"#e0e0e0", "#3a3c42"},
    /* EditedCellPaper */ {"#fff2c2", "#4a3f1c"},
    /* InsertedRowPaper */ {"#dcf5dc", "#1f3f26"},
    /* DeletedRowPaper */ {"#f6d8d8", "#4a2226"},
    /* Window */ {"#efefef", "#2d2e32"},
    /* DimText */ {"#5f5f5f", "#a8a8a8"},
    /* FailureText */ {"#b00020", "#ff8a80"},
    /* SuccessText */ {"#1d7434", "#7fd08a"},
    /* HintText */ {"#444444", "#c8c8c8"},
    /* HintPaper */ {"#f1f1f1", "#34363b"},
    /* Workspace */ {"#8d99ae", "#3b4048"},
    /* SearchMatchText */ {"#000000", "#000000"},
    /* SearchMatchPaper */ {"#ffe678", "#e0b84a"},
}};

// Relative luminance after WCAG 2.x; enough to tell light from dark.
double luminance(const QColor& c) {
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

} // namespace

Theme& Theme::instance() {
    static Theme* theme = new Theme; // never destroyed: widgets may ask it until the very end
    return *theme;
}

Theme::Theme() {
    qApp->installEventFilter(this);
    dark_ = systemIsDark();
}

QColor Theme::colour(Role role, bool dark) {
    const Pair& p = kColours[size_t(role)];
    return QColor(QLatin1String(dark ? p.dark : p.light));
}

QString Theme::choiceName(Choice choice) {
    switch (choice) {
    case Choice::Light:
        return QStringLiteral("light");
    case Choice::Dark:
        return QStringLiteral("dark");
    case Choice::System:
        break;
    }
    return QStringLiteral("system");
}

Theme::Choice Theme::choiceFromName(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("light")) return Choice::Light;
    if (n == QLatin1String("dark")) return Choice::Dark;
    return Choice::System;
}

void Theme::setChoice(Choice choice) {
    if (choice == choice_) return;
    const bool wasForced = choice_ != Choice::System;
    choice_ = choice;
    settingPalette_ = true;
    if (choice_ != Choice::System)
        QApplication::setPalette(paletteFor(choice_ == Choice::Dark));
    else if (wasForced)
        QApplication::setPalette(QPalette()); // back to the desktop's own palette
    settingPalette_ = false;
    update();
}

void Theme::followPaletteOf(QWidget* widget) {
    if (probe_) probe_->removeEventFilter(this);
    probe_ = widget;
    if (probe_) probe_->installEventFilter(this);
    update();
}

void Theme::onChange(QObject* context, const std::function<void()>& apply) {
    apply();
    connect(this, &Theme::changed, context, apply);
}

void Theme::setTextRole(QWidget* widget, std::optional<Role> role) {
    static const char* const kProperty = "themeTextRole";
    const bool followed = widget->property(kProperty).isValid();
    widget->setProperty(kProperty, role ? int(*role) : -1);
    auto apply = [widget] {
        const int r = widget->property(kProperty).toInt();
        QPalette p = widget->palette();
        const QColor c =
            r >= 0 ? themeColour(Role(r)) : QApplication::palette(widget).color(QPalette::WindowText);
        p.setColor(QPalette::WindowText, c);
        p.setColor(QPalette::Text, r >= 0 ? c : QApplication::palette(widget).color(QPalette::Text));
        widget->setPalette(p);
    };
    apply();
    if (!followed) connect(&instance(), &Theme::changed, widget, apply);
}

void Theme::usePageColours(QWidget* browser) {
    QPalette p = browser->palette();
    p.setColor(QPalette::Base, colour(Role::Paper, false));
    p.setColor(QPalette::Text, colour(Role::Text, false));
    browser->setPalette(p);
}

bool Theme::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    const bool appPalette = watched == qApp && t == QEvent::ApplicationPaletteChange;
    const bool probePalette = watched == probe_ && (t == QEvent::PaletteChange || t == QEvent::StyleChange);
    if ((appPalette || probePalette) && !settingPalette_ && choice_ == Choice::System) update();
    return QObject::eventFilter(watched, event);
}

bool Theme::systemIsDark() const {
    const QPalette p = probe_ ? probe_->palette() : QApplication::palette();
    return luminance(p.color(QPalette::Window)) < luminance(p.color(QPalette::WindowText));
}

void Theme::update() {
    const bool dark = choice_ == Choice::System ? systemIsDark() : choice_ == Choice::Dark;
    if (dark == dark_) return;
    dark_ = dark;
    emit changed();
}

QPalette Theme::paletteFor(bool dark) {
    auto c = [dark](Role r) { return colour(r, dark); };
    QPalette p(c(Role::Text), c(Role::Window));
    p.setColor(QPalette::Base, c(Role::Paper));
    p.setColor(QPalette::AlternateBase, c(Role::ResultAlternatePaper));
    p.setColor(QPalette::Text, c(Role::Text));
    p.setColor(QPalette::WindowText, c(Role::Text));
    p.setColor(QPalette::ButtonText, c(Role::Text));
    p.setColor(QPalette::Button, c(Role::Window));
    p.setColor(QPalette::ToolTipBase, c(Role::HintPaper));
    p.setColor(QPalette::ToolTipText, c(Role::HintText));
    p.setColor(QPalette::PlaceholderText, c(Role::DimText));
    p.setColor(QPalette::Highlight, dark ? QColor(0x2f, 0x65, 0xca) : QColor(0x30, 0x8c, 0xc6));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, c(Role::Keyword));
    for (QPalette::ColorRole r : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, r, c(Role::DimText));
    return p;
}

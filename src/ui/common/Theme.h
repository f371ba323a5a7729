#pragma once
// The colours the program draws with, as one theme with a light and a dark
// set of named roles. Every place that colours text or a surface asks the
// theme for a role instead of naming a colour, and re-applies it when the
// theme changes (onChange).
//
// The user chooses System (the set that suits the desktop's palette, or a
// style sheet's colours, followed as they change), Light or Dark. Light and
// Dark also give the rest of the window a matching palette; System leaves
// the desktop's palette alone.

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

class Theme : public QObject {
    Q_OBJECT
public:
    enum class Choice { System, Light, Dark };

    enum class Role {
        // the script editor
        Text,
        Paper,
        Keyword,
        Operator,
        Function,
        DataType,
        Comment,
        String,
        QuotedName,
        Number,
        MarginText,
        MarginPaper,
        CaretLine,
        Caret,
        Selection,
        BraceText,
        BracePaper,
        BadBraceText,
        Bookmark,
        ErrorMark,
        StatementFlash,
        // the message pane (on Paper)
        MessageText,
        MessageError,
        MessageKeyword,
        MessageLineWord,
        MessageString,
        MessageComment,
        // results as a grid or as text
        ResultText,
        ResultPaper,
        ResultAlternatePaper,
        NullText,
        GridLine,
        EditedCellPaper,
        InsertedRowPaper,
        DeletedRowPaper,
        // notes and states in dialogs (on Window), hints, the document area
        Window,
        DimText,
        FailureText,
        SuccessText,
        HintText,
        HintPaper,
        Workspace,
        SearchMatchText,
        SearchMatchPaper,
        Count
    };

    static Theme& instance();

    Choice choice() const { return choice_; }
    // Uses the choice from now on; emits changed() when the colours change.
    void setChoice(Choice choice);
    // Whether the dark set is in use.
    bool isDark() const { return dark_; }

    // A role's colour in the set in use.
    QColor colour(Role role) const { return colour(role, dark_); }
    // A role's colour in the light or the dark set.
    static QColor colour(Role role, bool dark);

    // "system", "light", "dark" as settings keep them; anything else is System.
    static QString choiceName(Choice choice);
    static Choice choiceFromName(const QString& name);

    // Under System, the set follows this widget's palette (the main window:
    // a style sheet shows in its palette, not in the application's).
    void followPaletteOf(QWidget* widget);

    // Calls apply now and again whenever the colours change, for as long as
    // context lives.
    void onChange(QObject* context, const std::function<void()>& apply);
    // Draws widget's text (a label's, an edit's) in a role's colour from now
    // on; a null role gives it back the palette's colour.
    static void setTextRole(QWidget* widget, std::optional<Role> role);
    // Light paper and dark text for a browser of help pages, whatever the
    // theme: the pages bring their own colours for a light page.
    static void usePageColours(QWidget* browser);

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Theme();
    void update();
    bool systemIsDark() const;
    static QPalette paletteFor(bool dark);

    Choice choice_ = Choice::System;
    bool dark_ = false;
    bool settingPalette_ = false;
    QPointer<QWidget> probe_;
};

// The colour of a role in the theme in use.
inline QColor themeColour(Theme::Role role) {
    return Theme::instance().colour(role);
}

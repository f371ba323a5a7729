// The theme as a user sees it: every style the editor and the message pane
// draw is readable on its paper in both sets (WCAG contrast of 4.5:1 or
// more), the result panes follow a dark palette or style sheet, and
// View > Theme recolours the open documents at once and is kept.
#include "common/Theme.h"

#include "assist/TsqlLexer.h"
#include "document/MessageLexer.h"
#include "document/QueryDocument.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "document/ResultTextView.h"
#include "editor/SqlEditor.h"
#include "settings/AppPaths.h"
#include "shell/MainWindow.h"
#include "support/Files.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <Qsci/qscilexersql.h>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using Role = Theme::Role;

// WCAG 2.x contrast ratio of two colours, 1 to 21.
double contrast(const QColor& a, const QColor& b) {
    auto lum = [](const QColor& c) {
        auto ch = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * ch(c.redF()) + 0.7152 * ch(c.greenF()) + 0.0722 * ch(c.blueF());
    };
    const double x = lum(a), y = lum(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// Scintilla keeps colours as 0xBBGGRR.
QColor scintillaColour(long c) {
    return QColor(int(c & 0xff), int((c >> 8) & 0xff), int((c >> 16) & 0xff));
}
QColor styleFore(SqlEditor* e, int style) {
    return scintillaColour(e->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, style));
}
QColor styleBack(SqlEditor* e, int style) {
    return scintillaColour(e->SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, style));
}

// Puts the theme back to System after each test (the palette goes with it).
class ThemeTest : public ::testing::TestWithParam<bool> {
protected:
    void TearDown() override {
        Theme::instance().setChoice(Theme::Choice::System);
        qApp->setStyleSheet(QString());
    }
    static void use(bool dark) {
        Theme::instance().setChoice(dark ? Theme::Choice::Dark : Theme::Choice::Light);
    }
    TempHome home;
    ScriptedDialogs dialogs;
};

// Every style a lexer describes, as the editor draws it: its text on its
// paper, and on the highlighted caret line.
void expectEveryStyleReadable(SqlEditor* e, QsciLexer* lexer, const char* what) {
    const QColor caretLine = scintillaColour(e->SendScintilla(QsciScintillaBase::SCI_GETCARETLINEBACK));
    int styles = 0;
    for (int style = 0; style < 128; ++style) {
        if (lexer->description(style).isEmpty()) continue;
        ++styles;
        const QColor fore = styleFore(e, style), back = styleBack(e, style);
        EXPECT_GE(contrast(fore, back), 4.5)
            << what << " style " << style << " " << lexer->description(style).toStdString() << ": "
            << fore.name().toStdString() << " on " << back.name().toStdString();
        EXPECT_GE(contrast(fore, caretLine), 4.5) << what << " style " << style << " on the caret line";
    }
    EXPECT_GT(styles, 5) << what;
}

} // namespace

TEST_P(ThemeTest, EveryStyleTheEditorsDrawIsReadableOnItsPaper) {
    use(GetParam());
    SqlEditor script, messages, stock;
    auto* tsql = new TsqlLexer(&script);
    script.setLanguage(tsql);
    auto* messageLexer = new MessageLexer(&messages);
    messages.setLanguage(messageLexer);
    auto* stockLexer = qobject_cast<QsciLexerSQL*>(stock.lexer());
    ASSERT_NE(stockLexer, nullptr); // the template editor's language
    expectEveryStyleReadable(&script, tsql, "TSQL");
    expectEveryStyleReadable(&messages, messageLexer, "MYMESSAGE");
    expectEveryStyleReadable(&stock, stockLexer, "stock SQL");
    EXPECT_GE(contrast(styleFore(&script, QsciScintillaBase::STYLE_LINENUMBER),
                       styleBack(&script, QsciScintillaBase::STYLE_LINENUMBER)),
              4.5);
    // the dark set is dark and the light one light
    const QColor paper = styleBack(&script, 0);
    EXPECT_EQ(paper.lightness() < 128, GetParam()) << paper.name().toStdString();
}

TEST_P(ThemeTest, EveryOtherTextIsReadableOnWhatItIsDrawnOn) {
    const bool dark = GetParam();
    const std::pair<Role, Role> pairs[] = {
        {Role::ResultText, Role::ResultPaper},
        {Role::ResultText, Role::ResultAlternatePaper},
        {Role::NullText, Role::ResultPaper},
        {Role::NullText, Role::ResultAlternatePaper},
        {Role::ResultText, Role::EditedCellPaper},
        {Role::ResultText, Role::InsertedRowPaper},
        {Role::ResultText, Role::DeletedRowPaper},
        {Role::BraceText, Role::BracePaper},
        {Role::BadBraceText, Role::Paper},
        {Role::DimText, Role::Window},
        {Role::FailureText, Role::Window},
        {Role::SuccessText, Role::Window},
        {Role::Text, Role::Window},
        {Role::HintText, Role::HintPaper},
        {Role::SearchMatchText, Role::SearchMatchPaper},
    };
    for (const auto& [text, paper] : pairs)
        EXPECT_GE(contrast(Theme::colour(text, dark), Theme::colour(paper, dark)), 4.5)
            << "role " << int(text) << " on role " << int(paper) << (dark ? " (dark)" : " (light)");
}

INSTANTIATE_TEST_SUITE_P(Sets, ThemeTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& i) { return i.param ? "Dark" : "Light"; });

namespace {

// The share of a pane's pixels that are darker than mid-grey, and the
// lightest pixel: what the pane looks like.
struct Look {
    double darkShare = 0;
    int lightest = 0;
};
Look lookOf(QWidget* w) {
    const QImage img = w->grab().toImage();
    qint64 darkPixels = 0;
    Look look;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int l = QColor(img.pixel(x, y)).lightness();
            darkPixels += l < 128;
            look.lightest = std::max(look.lightest, l);
        }
    look.darkShare = double(darkPixels) / std::max(1, img.width() * img.height());
    return look;
}

class ThemedWindowTest : public MainWindowFixture {
protected:
    void TearDown() override {
        MainWindowFixture::TearDown();
        Theme::instance().setChoice(Theme::Choice::System);
        qApp->setStyleSheet(QString());
    }
};

} // namespace

// A dark style sheet with the System theme: the text panes of the results
// are dark with light text, not light text on near-white.
TEST_F(ThemedWindowTest, UnderADarkStyleSheetTheResultPanesAreDarkWithLightText) {
    qApp->setStyleSheet(QStringLiteral("QWidget { background-color: #2b2b2b; color: #dddddd; }"));
    openWindow();
    EXPECT_TRUE(Theme::instance().isDark());
    ResultPanes* panes = window->activeDocument()->parts().results;
    ResultTextView* extended = panes->extendedPane();
    extended->setText(QStringLiteral("id  name\r\n--  ----\r\n 1  Ann\r\n 2  Bob\r\n"));
    panes->setExtendedVisible(true);
    panes->setCurrentIndex(ResultPanes::ExtendedTab);
    window->activeDocument()->setResultsRatio(0.5);
    QApplication::processEvents();
    ASSERT_GT(extended->viewport()->height(), 20);
    const Look look = lookOf(extended->viewport());
    EXPECT_GT(look.darkShare, 0.9);
    EXPECT_GT(look.lightest, 180); // the text
    EXPECT_LT(styleBack(window->activeDocument()->editor(), 0).lightness(), 128);
    EXPECT_LT(styleBack(panes->messagePane(), 0).lightness(), 128);
}

// The desktop switching to a dark palette while the editor runs (System).
TEST_F(ThemedWindowTest, UnderSystemTheEditorFollowsTheDesktopsPaletteAsItChanges) {
    openWindow();
    SqlEditor* editor = window->activeDocument()->editor();
    ASSERT_GT(styleBack(editor, 0).lightness(), 128);
    QPalette dark(QColor(0xe0, 0xe0, 0xe0), QColor(0x30, 0x30, 0x30));
    QApplication::setPalette(dark);
    QApplication::processEvents();
    EXPECT_TRUE(Theme::instance().isDark());
    EXPECT_LT(styleBack(editor, 0).lightness(), 128);
    EXPECT_LT(styleBack(editor, QsciScintillaBase::STYLE_LINENUMBER).lightness(), 128);
    QApplication::setPalette(QPalette());
    QApplication::processEvents();
    EXPECT_FALSE(Theme::instance().isDark());
    EXPECT_GT(styleBack(editor, 0).lightness(), 128);
}

TEST_F(ThemedWindowTest, ViewThemeRecoloursOpenDocumentsAtOnceAndIsKept) {
    openWindow();
    ASSERT_FALSE(Theme::instance().isDark()); // offscreen: a light palette
    QueryDocument* doc = window->activeDocument();
    doc->editor()->setText(QStringLiteral("SELECT 'x' -- note"));
    window->action(QStringLiteral("mnuThemeDark"))->trigger();
    EXPECT_LT(styleBack(doc->editor(), 0).lightness(), 128);
    EXPECT_LT(styleBack(doc->editor(), QsciScintillaBase::STYLE_LINENUMBER).lightness(), 128);
    EXPECT_LT(styleBack(doc->parts().results->messagePane(), 0).lightness(), 128);
    EXPECT_LT(QApplication::palette().color(QPalette::Window).lightness(), 128); // the rest of the window too
    ResultTextView* text = doc->parts().results->textPane();
    text->setText(QStringLiteral("a\r\n"));
    text->resize(200, 80);
    EXPECT_GT(lookOf(text->viewport()).darkShare, 0.9);
    doc->setResultsRatio(0.5);
    QApplication::processEvents();
    ResultGrid* grid = doc->parts().results->grid();
    ASSERT_GT(grid->viewport()->height(), 20);
    EXPECT_GT(lookOf(grid->viewport()).darkShare, 0.9); // the grid's empty room too
    EXPECT_TRUE(readFile(AppPaths::configFile()).contains("theme=dark"));

    // the menu ticks the choice in use
    QMenu* themes = window->menu(QStringLiteral("mnuViewTheme"));
    ASSERT_NE(themes, nullptr);
    emit themes->aboutToShow();
    EXPECT_TRUE(window->action(QStringLiteral("mnuThemeDark"))->isChecked());
    EXPECT_FALSE(window->action(QStringLiteral("mnuThemeSystem"))->isChecked());

    // kept for the next start
    closeWindow();
    Theme::instance().setChoice(Theme::Choice::System);
    openWindow();
    EXPECT_EQ(Theme::instance().choice(), Theme::Choice::Dark);
    EXPECT_LT(styleBack(window->activeDocument()->editor(), 0).lightness(), 128);
    EXPECT_LT(styleBack(window->activeDocument()->editor(), QsciScintillaBase::STYLE_LINENUMBER).lightness(),
              128);

    // back to System: the desktop's (light) palette again
    window->action(QStringLiteral("mnuThemeSystem"))->trigger();
    QApplication::processEvents(); // the window's palette follows the application's a moment later
    EXPECT_GT(styleBack(window->activeDocument()->editor(), 0).lightness(), 128);
    EXPECT_GT(QApplication::palette().color(QPalette::Window).lightness(), 128);
    EXPECT_TRUE(readFile(AppPaths::configFile()).contains("theme=system"));
}

TEST_F(ThemedWindowTest, AThemeThatCannotBeKeptIsStillUsedAndSaysSo) {
    openWindow();
    // a folder where config.ini should be: no write can replace it
    QFile::remove(AppPaths::configFile());
    ASSERT_TRUE(QDir().mkpath(AppPaths::configFile()));
    window->action(QStringLiteral("mnuThemeDark"))->trigger();
    EXPECT_TRUE(Theme::instance().isDark());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("could not be kept")))
        << dialogs.messages[0].toStdString();
}

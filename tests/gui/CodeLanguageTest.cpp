// The document's language: colours from the keyword catalogue's four
// classes, comments and strings, BEGIN/END folding, the case correction as
// you type and typed tabs.
#include "assist/TsqlLexer.h"
#include "document/ResultPanes.h"
#include "gui/AssistFixture.h"
#include "options/OptionsDialog.h"
#include "settings/Settings.h"
#include "store/ResourceDb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace {

class CodeLanguageTest : public AssistFixture {
protected:
    // The style of the first character of the n-th occurrence of text.
    static int styleOf(SqlEditor* e, const QString& text, int occurrence = 0) {
        const QString all = e->text();
        qsizetype at = -1;
        for (int i = 0; i <= occurrence; ++i)
            at = all.indexOf(text, at + 1);
        EXPECT_GE(at, 0) << text.toStdString();
        const int pos = int(all.left(at).toUtf8().size());
        e->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
        return int(e->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, pos));
    }
    static QColor colourOf(SqlEditor* e, int style) {
        return QColor(QRgb(e->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, style))).rgb() & 0xffffff;
    }
};

} // namespace

TEST_F(CodeLanguageTest, AScriptWithEveryClassIsColouredByTheCatalogue) {
    auto d = makeDocument();
    SqlEditor* e = d->editor();
    ASSERT_EQ(e->lexer(), d->parts().assist->language()->lexer());
    EXPECT_STREQ(e->lexer()->language(), "TSQL");
    e->setText(QStringLiteral("select Count(o.id) AS n -- counts\r\n"
                              "FROM orders o WHERE o.total > 10 AND o.note LIKE 'it''s' /* block\r\n"
                              " comment */ AND CAST(o.id AS varchar(10)) <> '';\r\n"
                              "Select notakeyword"));
    // "s'" is inside 'it''s': the doubled quote does not end the string
    const std::pair<int, QStringList> expected[] = {{TsqlLexer::KeywordStyle, {"select", "Select", "FROM"}},
                                                    {TsqlLexer::OperatorWordStyle, {"AND", "LIKE"}},
                                                    {TsqlLexer::FunctionStyle, {"Count", "CAST"}},
                                                    {TsqlLexer::DataTypeStyle, {"varchar"}},
                                                    {QsciLexerSQL::Operator, {">"}},
                                                    {QsciLexerSQL::CommentLine, {"-- counts"}},
                                                    {QsciLexerSQL::Comment, {"comment */"}},
                                                    {QsciLexerSQL::SingleQuotedString, {"'it''s'", "s'"}},
                                                    {QsciLexerSQL::Number, {"10"}},
                                                    {QsciLexerSQL::Identifier, {"notakeyword", "orders"}}};
    for (const auto& [style, texts] : expected)
        for (const QString& text : texts)
            EXPECT_EQ(styleOf(e, text), style) << text.toStdString();
    // each class in a colour of its own, word operators like the symbols
    const QColor kw = colourOf(e, TsqlLexer::KeywordStyle), op = colourOf(e, TsqlLexer::OperatorWordStyle),
                 fn = colourOf(e, TsqlLexer::FunctionStyle), ty = colourOf(e, TsqlLexer::DataTypeStyle),
                 plain = colourOf(e, QsciLexerSQL::Identifier);
    EXPECT_EQ(op, colourOf(e, QsciLexerSQL::Operator));
    const QList<QColor> classes = {kw, op, fn, ty, plain};
    for (int i = 0; i < classes.size(); ++i)
        for (int j = i + 1; j < classes.size(); ++j)
            EXPECT_NE(classes[i], classes[j]) << i << " " << j;
}

TEST_F(CodeLanguageTest, OnlyBeginAndEndFold) {
    auto d = makeDocument();
    SqlEditor* e = d->editor();
    e->setText(QStringLiteral("IF 1 = 1\r\nBEGIN\r\n  SELECT 1;\r\nEND\r\nCASE WHEN 1 THEN 2\r\nEND"));
    e->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
    auto header = [&](int line) {
        return (e->SendScintilla(QsciScintillaBase::SCI_GETFOLDLEVEL, line) &
                QsciScintillaBase::SC_FOLDLEVELHEADERFLAG) != 0;
    };
    EXPECT_FALSE(header(0)); // IF
    EXPECT_TRUE(header(1));  // BEGIN
    EXPECT_FALSE(header(4)); // CASE
}

TEST_F(CodeLanguageTest, WordsOfOtherClassesAreNotColouredAndAnEmptyCatalogueStillColoursText) {
    ResourceDb::open()->exec(QStringLiteral("DELETE FROM syntax"));
    ResourceDb::open()->exec(
        QStringLiteral("INSERT INTO syntax (syntax_name, type) VALUES ('FIVE', 5), ('TOP', 1)"));
    auto d = makeDocument();
    SqlEditor* e = d->editor();
    EXPECT_EQ(d->parts().assist->language()->lists().keywords, QStringList{QStringLiteral("TOP")});
    e->setText(QStringLiteral("SELECT top five -- c\r\n'text'"));
    EXPECT_EQ(styleOf(e, QStringLiteral("SELECT")), QsciLexerSQL::Identifier);
    EXPECT_EQ(styleOf(e, QStringLiteral("top")), TsqlLexer::KeywordStyle);
    EXPECT_EQ(styleOf(e, QStringLiteral("five")), QsciLexerSQL::Identifier);
    d->parts().assist->language()->setLists({});
    EXPECT_EQ(styleOf(e, QStringLiteral("top")), QsciLexerSQL::Identifier);
    EXPECT_EQ(styleOf(e, QStringLiteral("-- c")), QsciLexerSQL::CommentLine);
    EXPECT_EQ(styleOf(e, QStringLiteral("'text'")), QsciLexerSQL::SingleQuotedString);
}

TEST_F(CodeLanguageTest, KnownWordsTakeTheirCatalogueSpellingAsTheyAreTyped) {
    ASSERT_TRUE(settings::write(settings::Key::AutoCorrectSyntax, QStringLiteral("1")));
    auto d = makeDocument();
    script(*d, QString());
    type(QStringLiteral("select count(*) from t where name like 'select from' -- from"));
    key(Qt::Key_Return);
    EXPECT_EQ(d->editor()->text(),
              QStringLiteral("SELECT COUNT(*) FROM t WHERE name LIKE 'select from' -- from\r\n"));
    // variables, qualified names and quoted names stay as typed; a line break ends a word
    type(QStringLiteral("@select t.date \"from\" [where] varchar"));
    key(Qt::Key_Return);
    EXPECT_EQ(d->editor()->text().section(QStringLiteral("\r\n"), 1),
              QStringLiteral("@select t.date \"from\" [where] VARCHAR\r\n"));
    // one undo step takes the correction back
    script(*d, QString());
    type(QStringLiteral("from "));
    EXPECT_EQ(d->editor()->text(), QStringLiteral("FROM "));
    d->editor()->undo();
    EXPECT_EQ(d->editor()->text(), QStringLiteral("from "));
}

TEST_F(CodeLanguageTest, TypedTabsBecomeBlanksWhenConverting) {
    ASSERT_TRUE(settings::write(settings::Key::ConvertTabs, QStringLiteral("1")));
    auto d = makeDocument();
    type(QStringLiteral("a"));
    key(Qt::Key_Tab);
    type(QStringLiteral("b"));
    EXPECT_EQ(d->editor()->text(), QStringLiteral("a   b"));
    ASSERT_TRUE(settings::write(settings::Key::ConvertTabs, QStringLiteral("0")));
    auto e = makeDocument();
    type(QStringLiteral("a"));
    key(Qt::Key_Tab);
    EXPECT_EQ(e->editor()->text(), QStringLiteral("a\t"));
}

TEST_F(CodeLanguageTest, OptionsChangedInTheDialogReachAnOpenDocument) {
    ASSERT_TRUE(settings::write({{settings::Key::AutoCorrectSyntax, QStringLiteral("0")},
                                 {settings::Key::ConvertTabs, QStringLiteral("0")},
                                 {settings::Key::SyntaxHighlight, QStringLiteral("1")},
                                 {settings::Key::FontSize, QStringLiteral("10")}}));
    auto d = makeDocument();
    type(QStringLiteral("select 1 "));
    EXPECT_EQ(d->editor()->text(), QStringLiteral("select 1 "));
    // the options dialog, as the user fills it in and presses OK
    auto pressOk = [](const std::function<void(OptionsDialog&)>& edit) {
        OptionsDialog options;
        edit(options);
        options.okButton()->click();
    };
    auto tick = [](OptionsDialog& o, settings::Key key, bool on) {
        qobject_cast<QCheckBox*>(o.control(key))->setChecked(on);
    };
    pressOk([&](OptionsDialog& o) {
        tick(o, settings::Key::AutoCorrectSyntax, true);
        tick(o, settings::Key::ConvertTabs, true);
        qobject_cast<QComboBox*>(o.control(settings::Key::FontSize))->setEditText(QStringLiteral("14"));
    });
    d->editor()->setFocus();
    script(*d, QString());
    type(QStringLiteral("select "));
    key(Qt::Key_Tab);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT  ")); // corrected, and the tab typed as a blank
    EXPECT_DOUBLE_EQ(d->editor()->editorFont().pointSizeF(), 14.0);
    EXPECT_DOUBLE_EQ(d->parts().results->messagePane()->editorFont().pointSizeF(), 14.0);
    pressOk([&](OptionsDialog& o) { tick(o, settings::Key::SyntaxHighlight, false); });
    EXPECT_EQ(d->editor()->lexer(), nullptr);
    pressOk([&](OptionsDialog& o) {
        tick(o, settings::Key::SyntaxHighlight, true);
        tick(o, settings::Key::AutoCorrectSyntax, false);
    });
    EXPECT_NE(d->editor()->lexer(), nullptr);
    d->editor()->setFocus();
    script(*d, QString());
    type(QStringLiteral("from "));
    EXPECT_EQ(d->editor()->text(), QStringLiteral("from ")); // switched off again
    d->setChanged(false);
}

TEST_F(CodeLanguageTest, QuotedNamesEndWhereTheDocumentsServerEndsThem) {
    auto d = makeDocument(false);
    SqlEditor* e = d->editor();
    // A name with a quote inside, in the quotes each server reads, on the
    // first line; the lines after it must still be code.
    struct Server {
        const char* connection;
        QString name;      // as written in the script
        int nameStyle;     // how the name is coloured
        QString notQuotes; // quote characters this server does not read as quotes
    };
    const Server servers[] = {
        {"Driver={MariaDB Unicode};Server=127.0.0.1;Port=1;Database=shop;",
         QStringLiteral("`Ödd Täble's 🙂`"), QsciLexerSQL::QuotedIdentifier, QStringLiteral("[1]")},
        {"Driver={FreeTDS};Server=127.0.0.1;Port=1;Database=shop;", QStringLiteral("[Odd Table's]"),
         QsciLexerSQL::QuotedIdentifier, QStringLiteral("`1`")},
        {"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=1;Database=shop;",
         QStringLiteral("\"Odd \"\"Table's\""), QsciLexerSQL::QuotedIdentifier, QStringLiteral("[1]")},
        // MariaDB reads double quotes as a string
        {"Driver={MariaDB Unicode};Server=127.0.0.1;Port=1;Database=shop;", QStringLiteral("\"Odd Table's\""),
         QsciLexerSQL::DoubleQuotedString, QStringLiteral("[1]")},
    };
    for (const Server& s : servers) {
        SCOPED_TRACE(s.connection);
        d->setConnection(QString::fromLatin1(s.connection));
        e->setText(
            QStringLiteral("create table %1 (id int); -- first\r\nselect a%2 from t\r\nselect 'x' from u")
                .arg(s.name, s.notQuotes));
        EXPECT_EQ(styleOf(e, s.name), s.nameStyle);
        EXPECT_EQ(styleOf(e, s.name.right(3)), s.nameStyle); // the quote inside does not end it
        EXPECT_EQ(styleOf(e, QStringLiteral("(id")), QsciLexerSQL::Operator); // the line goes on as code
        EXPECT_EQ(styleOf(e, QStringLiteral("id int")), QsciLexerSQL::Identifier);
        EXPECT_EQ(styleOf(e, QStringLiteral("-- first")), QsciLexerSQL::CommentLine);
        EXPECT_EQ(styleOf(e, s.notQuotes), QsciLexerSQL::Operator); // other servers' quotes are operators
        EXPECT_EQ(styleOf(e, s.notQuotes.mid(1)), QsciLexerSQL::Number);
        EXPECT_EQ(styleOf(e, QStringLiteral("'x'")), QsciLexerSQL::SingleQuotedString);
        EXPECT_EQ(styleOf(e, QStringLiteral("u")), QsciLexerSQL::Identifier); // the last line is code
    }
    d->setChanged(false);
}

TEST_F(CodeLanguageTest, TypingIntoAQuotedNameRecoloursOnlyWhatItChanges) {
    auto d = makeDocument(false);
    d->setConnection(QStringLiteral("Driver={MariaDB Unicode};Server=127.0.0.1;Port=1;Database=shop;"));
    SqlEditor* e = d->editor();
    script(*d, QStringLiteral("/* a\r\nlong\r\ncomment */ select `a"));
    type(QStringLiteral("'b` from t"));
    EXPECT_EQ(e->text(), QStringLiteral("/* a\r\nlong\r\ncomment */ select `a'b` from t"));
    EXPECT_EQ(styleOf(e, QStringLiteral("long")), QsciLexerSQL::Comment);
    EXPECT_EQ(styleOf(e, QStringLiteral("`a'b`")), QsciLexerSQL::QuotedIdentifier);
    EXPECT_EQ(styleOf(e, QStringLiteral("from")), TsqlLexer::KeywordStyle);
    d->setChanged(false);
}

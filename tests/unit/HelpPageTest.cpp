// Filling the keyword-help placeholders of a page by element id.
#include "assist/HelpPage.h"

#include <QFile>
#include <gtest/gtest.h>

using assist::fillPlaceholders;

namespace {
const QHash<QString, QString> kHelp = {{QStringLiteral("syntax"), QStringLiteral("<b>SELECT</b>")},
                                       {QStringLiteral("description"), QStringLiteral("Reads rows.")},
                                       {QStringLiteral("example"), QStringLiteral("SELECT 1;<br>")}};
} // namespace

TEST(HelpPage, ThePlaceholdersContentIsReplacedAndNothingElse) {
    const QString page = QStringLiteral(
        "<html><body><p id=\"syntax\">a paragraph keeps its text</p>\n"
        "<div id=\"syntax\">old <div class=\"inner\">nested</div> title</div>\n"
        "<DIV ID='description' class=x>old description</DIV>"
        "<div class=\"box\" id=example >old example</div><div id=\"other\">stays</div></body></html>");
    EXPECT_EQ(
        fillPlaceholders(page, kHelp),
        QStringLiteral(
            "<html><body><p id=\"syntax\">a paragraph keeps its text</p>\n"
            "<div id=\"syntax\"><b>SELECT</b></div>\n"
            "<DIV ID='description' class=x>Reads rows.</DIV>"
            "<div class=\"box\" id=example >SELECT 1;<br></div><div id=\"other\">stays</div></body></html>"));
}

TEST(HelpPage, IdsMatchExactlyAndEveryMatchIsFilled) {
    const QString page = QStringLiteral(
        "<div id=\"Syntax\">x</div><div id=\"syntax \">y</div><divider id=\"syntax\">z</divider>"
        "<div id=\"example\">1</div><div id=\"example\">2</div>");
    EXPECT_EQ(fillPlaceholders(page, kHelp),
              QStringLiteral(
                  "<div id=\"Syntax\">x</div><div id=\"syntax \">y</div><divider id=\"syntax\">z</divider>"
                  "<div id=\"example\">SELECT 1;<br></div><div id=\"example\">SELECT 1;<br></div>"));
}

TEST(HelpPage, CommentsSelfClosingAndUnclosedElements) {
    EXPECT_EQ(
        fillPlaceholders(
            QStringLiteral("<!-- <div id=\"syntax\"> --><div id=\"syntax\"><!-- </div> -->old</div>end"),
            kHelp),
        QStringLiteral("<!-- <div id=\"syntax\"> --><div id=\"syntax\"><b>SELECT</b></div>end"));
    EXPECT_EQ(fillPlaceholders(QStringLiteral("<div id=\"syntax\"/>after"), kHelp),
              QStringLiteral("<div id=\"syntax\"><b>SELECT</b></div>after"));
    EXPECT_EQ(fillPlaceholders(QStringLiteral("<div id=\"syntax\">never closed <b>x</b>"), kHelp),
              QStringLiteral("<div id=\"syntax\"><b>SELECT</b>never closed <b>x</b>"));
    // a broken start tag and a page without placeholders are left as they are
    EXPECT_EQ(fillPlaceholders(QStringLiteral("<div id=\"syntax"), kHelp),
              QStringLiteral("<div id=\"syntax"));
    EXPECT_EQ(fillPlaceholders(QStringLiteral("plain text"), kHelp), QStringLiteral("plain text"));
    EXPECT_EQ(fillPlaceholders(QString(), kHelp), QString());
}

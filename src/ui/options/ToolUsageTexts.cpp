#include "options/ToolUsageTexts_p.h"

#include <QStringList>

namespace options {

QString isqlTitle() {
    return QStringLiteral("ISQL Description");
}

QString isqlText() {
    return QStringList{
        QStringLiteral(
            "The isql utility allows you to enter Transact-SQL statements, system procedures, and script "
            "files; and uses DB-Library to communicate with Microsoft\u00ae SQL Server\u2122 2000."),
        QString(),
        QStringLiteral("isql"),
        QStringLiteral("    [-?] |"),
        QStringLiteral("    [-L] |"),
        QStringLiteral("    ["),
        QStringLiteral("        {"),
        QStringLiteral("            {-U login_id [-P password]}"),
        QStringLiteral("            | \u2013E"),
        QStringLiteral("        }"),
        QStringLiteral("        [-S server_name] [-H wksta_name] [-d db_name]"),
        QStringLiteral("        [-l time_out] [-t time_out] [-h headers]"),
        QStringLiteral("        [-s col_separator] [-w column_width] [-a packet_size]"),
        QStringLiteral("        [-e] [-x max_text_size]"),
        QStringLiteral("        [-c cmd_end] [-q 'query'] [-Q 'query']"),
        QStringLiteral("        [-n] [-m error_level] [-r {0 | 1}]"),
        QStringLiteral("        [-i input_file] [-o output_file] [-p]"),
        QStringLiteral("        [-b] [-O]"),
        QStringLiteral("    ]"),
    }
        .join(QLatin1Char('\n'));
}

QString isqlwTitle() {
    return QStringLiteral("ISQLW Description");
}

QString isqlwText() {
    return QStringList{
        QStringLiteral(
            "The isqlw utility (SQL Query Analyzer) allows you to enter Transact-SQL statements, system "
            "stored procedures, and script files. You can set up shortcuts or create batch files to "
            "launch a preconfigured SQL Query Analyzer."),
        QString(),
        QStringLiteral("    [-?] |"),
        QStringLiteral("    ["),
        QStringLiteral("        [-S server_name[\\instance_name]]"),
        QStringLiteral("        [-d database]"),
        QStringLiteral("        [-E] [-U user] [-P password]"),
        QStringLiteral("        [{-i input_file} {-o output_file} [-F {U|A|O}]]"),
        QStringLiteral("        [-f file_list]"),
        QStringLiteral("        [-C configuration_file]"),
        QStringLiteral("        [-D scripts_directory]"),
        QStringLiteral("        [-T template_directory]"),
        QStringLiteral("    ]"),
    }
        .join(QLatin1Char('\n'));
}

} // namespace options

// Secrets typed into SQL never reach the history: the literal after each
// way of giving a password is masked, on every dialect's spelling, and the
// rest of the script stays as written.
#include "script/SecretRedaction.h"

#include <gtest/gtest.h>

TEST(SecretRedaction, MasksTheLiteralOfEveryWayOfGivingAPassword) {
    struct Case {
        const char* script;
        const char* stored;
        const char* secret; // "" when nothing is secret
    };
    const Case cases[] = {
        {"ALTER USER x PASSWORD 'S3cretHist'", "ALTER USER x PASSWORD '****'", "S3cretHist"},
        {"create role r with login encrypted password 'p''w';", "create role r with login encrypted password '****';", "p''w"},
        {"CREATE USER u WITH PASSWORD $$dollar$$", "CREATE USER u WITH PASSWORD '****'", "dollar"},
        {"CREATE LOGIN l WITH PASSWORD = N'Tsql!1', CHECK_POLICY = OFF",
         "CREATE LOGIN l WITH PASSWORD = N'****', CHECK_POLICY = OFF", "Tsql!1"},
        {"ALTER LOGIN l WITH PASSWORD = 'new' OLD_PASSWORD = 'old'",
         "ALTER LOGIN l WITH PASSWORD = '****' OLD_PASSWORD = '****'", "new"},
        {"SET PASSWORD = 'mine'", "SET PASSWORD = '****'", "mine"},
        {"SET PASSWORD FOR 'bob'@'%' = PASSWORD('bobs')", "SET PASSWORD FOR 'bob'@'%' = PASSWORD('****')", "bobs"},
        {"CREATE USER 'a'@'localhost' IDENTIFIED BY 'idby'", "CREATE USER 'a'@'localhost' IDENTIFIED BY '****'", "idby"},
        {"ALTER USER a IDENTIFIED WITH mysql_native_password BY \"dq\"",
         "ALTER USER a IDENTIFIED WITH mysql_native_password BY '****'", "dq"},
        {"CREATE USER a IDENTIFIED VIA ed25519 USING PASSWORD('viaPw')",
         "CREATE USER a IDENTIFIED VIA ed25519 USING PASSWORD('****')", "viaPw"},
        {"GRANT ALL ON *.* TO a IDENTIFIED BY PASSWORD '*A4B6157319038724E3560894F7F932C8886EBFCF'",
         "GRANT ALL ON *.* TO a IDENTIFIED BY PASSWORD '****'", "*A4B6157319038724E3560894F7F932C8886EBFCF"},
        {"CREATE USER MAPPING FOR me SERVER s OPTIONS (user 'u', password 'fdw')",
         "CREATE USER MAPPING FOR me SERVER s OPTIONS (user 'u', password '****')", "fdw"},
        {"ALTER USER MAPPING FOR me SERVER s OPTIONS (SET \"password\" 'fdw2')",
         "ALTER USER MAPPING FOR me SERVER s OPTIONS (SET \"password\" '****')", "fdw2"},
        {"CREATE SERVER s FOREIGN DATA WRAPPER mysql OPTIONS (HOST 'h', USER 'u', PASSWORD 'srv')",
         "CREATE SERVER s FOREIGN DATA WRAPPER mysql OPTIONS (HOST 'h', USER 'u', PASSWORD '****')", "srv"},
        {"SELECT * FROM dblink('host=h dbname=d password=conn pwd', 'select 1')",
         "SELECT * FROM dblink('host=h dbname=d password=**** pwd', 'select 1')", "conn"},
        // not secrets: left as written
        {"SELECT password FROM users WHERE name = 'x'", "SELECT password FROM users WHERE name = 'x'", ""},
        {"-- PASSWORD 'in a comment' stays\nSELECT 'password is not a key here'",
         "-- PASSWORD 'in a comment' stays\nSELECT 'password is not a key here'", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const script::RedactedScript r = script::redactSecrets(QString::fromUtf8(c.script));
        EXPECT_EQ(r.text, QString::fromUtf8(c.stored));
        if (*c.secret) EXPECT_TRUE(r.secrets.contains(QString::fromUtf8(c.secret))) << r.secrets.join(QLatin1Char('|')).toStdString();
        else EXPECT_TRUE(r.secrets.isEmpty());
    }
}

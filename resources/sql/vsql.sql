-- Tables of the resource database. Every statement may run again on an
-- existing file: missing tables are created, existing ones are left alone.
CREATE TABLE IF NOT EXISTS syntax (
    syntax_name  TEXT,
    type         INTEGER,
    syntax_title TEXT,
    description  TEXT,
    example      TEXT
);
CREATE TABLE IF NOT EXISTS providers (
    provider_name TEXT,
    returnvalue   TEXT
);
CREATE TABLE IF NOT EXISTS connections (
    primarykey INTEGER PRIMARY KEY AUTOINCREMENT,
    name       TEXT,
    cn_string  TEXT,
    type       SMALLINT
);
CREATE TABLE IF NOT EXISTS template_types (
    id    INTEGER PRIMARY KEY AUTOINCREMENT,
    title TEXT
);
CREATE TABLE IF NOT EXISTS templates (
    id      INTEGER PRIMARY KEY AUTOINCREMENT,
    "group" INTEGER,
    title   TEXT,
    code    TEXT
);
CREATE TABLE IF NOT EXISTS objects (
    primarykey    INTEGER PRIMARY KEY AUTOINCREMENT,
    groupname     TEXT,
    title         TEXT,
    tag_start     TEXT,
    tag_highlight TEXT,
    tag_end       TEXT
);
-- The query history: one row per run of a document's script. The connection
-- is the saved connection's name or the connection string with its passwords
-- masked; a password is never stored here. started is ISO 8601 in UTC.
CREATE TABLE IF NOT EXISTS history (
    id          INTEGER PRIMARY KEY AUTOINCREMENT,
    started     TEXT,
    duration_ms INTEGER,
    connection  TEXT,
    database    TEXT,
    rows        INTEGER,
    outcome     TEXT,
    message     TEXT,
    text_length INTEGER,
    sql_text    TEXT
);
CREATE INDEX IF NOT EXISTS history_started ON history (started, id);

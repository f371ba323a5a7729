-- Starter library of the resource database: SQL templates in groups, and the
-- object snippets listed under "Common Objects". Loaded once into a new database;
-- template code uses CR LF line breaks, and 'x' in a snippet tag means empty text.

INSERT INTO template_types (id, title) VALUES
(1, 'Queries'),
(2, 'Schema (DDL)'),
(3, 'Indexes'),
(4, 'Transactions'),
(5, 'Window Functions'),
(6, 'Maintenance and Monitoring'),
(7, 'Data Changes'),
(8, 'Dates and Times'),
(9, 'JSON');

-- Queries
INSERT INTO templates ("group", title, code) VALUES
(1, 'Select columns',
 'SELECT column1, column2' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'ORDER BY column1;'),
(1, 'Filter rows',
 'SELECT *' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'WHERE column1 = value' || char(13,10) ||
 '  AND column2 IS NOT NULL;'),
(1, 'Filter with IN, BETWEEN and LIKE',
 'SELECT *' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'WHERE column1 IN (value1, value2)' || char(13,10) ||
 '  AND column2 BETWEEN value3 AND value4' || char(13,10) ||
 '  AND column_name LIKE ''prefix%'';'),
(1, 'Distinct values',
 'SELECT DISTINCT column_name' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'ORDER BY column_name;'),
(1, 'Inner join',
 'SELECT a.column1, b.column2' || char(13,10) ||
 'FROM table_a AS a' || char(13,10) ||
 'INNER JOIN table_b AS b ON b.a_id = a.id' || char(13,10) ||
 'WHERE condition;'),
(1, 'Left join',
 'SELECT a.column1, b.column2' || char(13,10) ||
 'FROM table_a AS a' || char(13,10) ||
 'LEFT JOIN table_b AS b ON b.a_id = a.id' || char(13,10) ||
 'ORDER BY a.column1;'),
(1, 'Rows without a match',
 '-- rows of table_a that no row of table_b refers to' || char(13,10) ||
 'SELECT a.*' || char(13,10) ||
 'FROM table_a AS a' || char(13,10) ||
 'LEFT JOIN table_b AS b ON b.a_id = a.id' || char(13,10) ||
 'WHERE b.a_id IS NULL;'),
(1, 'Full join (PostgreSQL, SQLite, T-SQL)',
 '-- SQLite 3.39 or later' || char(13,10) ||
 'SELECT a.id AS a_id, b.id AS b_id' || char(13,10) ||
 'FROM table_a AS a' || char(13,10) ||
 'FULL OUTER JOIN table_b AS b ON b.a_id = a.id;'),
(1, 'Full join (MariaDB/MySQL)',
 '-- no FULL JOIN here: left join plus the right rows left over' || char(13,10) ||
 'SELECT a.id AS a_id, b.id AS b_id' || char(13,10) ||
 'FROM table_a AS a' || char(13,10) ||
 'LEFT JOIN table_b AS b ON b.a_id = a.id' || char(13,10) ||
 'UNION ALL' || char(13,10) ||
 'SELECT NULL, b.id' || char(13,10) ||
 'FROM table_b AS b' || char(13,10) ||
 'LEFT JOIN table_a AS a ON a.id = b.a_id' || char(13,10) ||
 'WHERE a.id IS NULL;'),
(1, 'Cross join',
 'SELECT a.column1, b.column2' || char(13,10) ||
 'FROM table_a AS a' || char(13,10) ||
 'CROSS JOIN table_b AS b;'),
(1, 'Self join (parent row)',
 'SELECT child.id, child.name, parent.name AS parent_name' || char(13,10) ||
 'FROM table_name AS child' || char(13,10) ||
 'LEFT JOIN table_name AS parent ON parent.id = child.parent_id' || char(13,10) ||
 'ORDER BY child.id;'),
(1, 'Count per group',
 'SELECT column1, COUNT(*) AS row_count' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'GROUP BY column1' || char(13,10) ||
 'ORDER BY row_count DESC;'),
(1, 'Group with HAVING',
 'SELECT column1, COUNT(*) AS row_count, SUM(column2) AS total' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'GROUP BY column1' || char(13,10) ||
 'HAVING COUNT(*) > 1' || char(13,10) ||
 'ORDER BY total DESC;'),
(1, 'Find duplicate rows',
 'SELECT column1, column2, COUNT(*) AS copies' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'GROUP BY column1, column2' || char(13,10) ||
 'HAVING COUNT(*) > 1;'),
(1, 'Subquery with IN',
 'SELECT *' || char(13,10) ||
 'FROM table_a' || char(13,10) ||
 'WHERE id IN (SELECT a_id' || char(13,10) ||
 '             FROM table_b' || char(13,10) ||
 '             WHERE condition);'),
(1, 'Subquery with EXISTS',
 'SELECT a.*' || char(13,10) ||
 'FROM table_a AS a' || char(13,10) ||
 'WHERE EXISTS (SELECT 1' || char(13,10) ||
 '              FROM table_b AS b' || char(13,10) ||
 '              WHERE b.a_id = a.id);'),
(1, 'Derived table',
 'SELECT d.column1, d.total' || char(13,10) ||
 'FROM (SELECT column1, SUM(column2) AS total' || char(13,10) ||
 '      FROM table_name' || char(13,10) ||
 '      GROUP BY column1) AS d' || char(13,10) ||
 'WHERE d.total > value;'),
(1, 'Common table expression (CTE)',
 'WITH totals AS (' || char(13,10) ||
 '    SELECT column1, SUM(column2) AS total' || char(13,10) ||
 '    FROM table_name' || char(13,10) ||
 '    GROUP BY column1' || char(13,10) ||
 ')' || char(13,10) ||
 'SELECT column1, total' || char(13,10) ||
 'FROM totals' || char(13,10) ||
 'WHERE total > value' || char(13,10) ||
 'ORDER BY total DESC;'),
(1, 'Recursive CTE (PostgreSQL, SQLite)',
 '-- walks a parent/child tree from its root rows down' || char(13,10) ||
 'WITH RECURSIVE tree (id, parent_id, name, depth, path) AS (' || char(13,10) ||
 '    SELECT id, parent_id, name, 0, CAST(name AS TEXT)' || char(13,10) ||
 '    FROM table_name' || char(13,10) ||
 '    WHERE parent_id IS NULL' || char(13,10) ||
 '    UNION ALL' || char(13,10) ||
 '    SELECT c.id, c.parent_id, c.name, t.depth + 1, t.path || '' > '' || c.name' || char(13,10) ||
 '    FROM table_name AS c' || char(13,10) ||
 '    JOIN tree AS t ON c.parent_id = t.id' || char(13,10) ||
 ')' || char(13,10) ||
 'SELECT id, name, depth, path' || char(13,10) ||
 'FROM tree' || char(13,10) ||
 'ORDER BY path;'),
(1, 'Recursive CTE (MariaDB/MySQL)',
 '-- walks a parent/child tree from its root rows down' || char(13,10) ||
 'WITH RECURSIVE tree (id, parent_id, name, depth, path) AS (' || char(13,10) ||
 '    SELECT id, parent_id, name, 0, CAST(name AS CHAR(1000))' || char(13,10) ||
 '    FROM table_name' || char(13,10) ||
 '    WHERE parent_id IS NULL' || char(13,10) ||
 '    UNION ALL' || char(13,10) ||
 '    SELECT c.id, c.parent_id, c.name, t.depth + 1, CONCAT(t.path, '' > '', c.name)' || char(13,10) ||
 '    FROM table_name AS c' || char(13,10) ||
 '    JOIN tree AS t ON c.parent_id = t.id' || char(13,10) ||
 ')' || char(13,10) ||
 'SELECT id, name, depth, path' || char(13,10) ||
 'FROM tree' || char(13,10) ||
 'ORDER BY path;'),
(1, 'Recursive CTE (T-SQL)',
 '-- walks a parent/child tree from its root rows down' || char(13,10) ||
 'WITH tree (id, parent_id, name, depth, path) AS (' || char(13,10) ||
 '    SELECT id, parent_id, name, 0, CAST(name AS NVARCHAR(1000))' || char(13,10) ||
 '    FROM dbo.table_name' || char(13,10) ||
 '    WHERE parent_id IS NULL' || char(13,10) ||
 '    UNION ALL' || char(13,10) ||
 '    SELECT c.id, c.parent_id, c.name, t.depth + 1,' || char(13,10) ||
 '           CAST(t.path + N'' > '' + c.name AS NVARCHAR(1000))' || char(13,10) ||
 '    FROM dbo.table_name AS c' || char(13,10) ||
 '    JOIN tree AS t ON c.parent_id = t.id' || char(13,10) ||
 ')' || char(13,10) ||
 'SELECT id, name, depth, path' || char(13,10) ||
 'FROM tree' || char(13,10) ||
 'ORDER BY path' || char(13,10) ||
 'OPTION (MAXRECURSION 1000);'),
(1, 'Paging (PostgreSQL, SQLite)',
 'SELECT *' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'ORDER BY id' || char(13,10) ||
 'LIMIT 20 OFFSET 40;'),
(1, 'Paging (MariaDB/MySQL)',
 '-- LIMIT offset, row_count: here rows 41 to 60' || char(13,10) ||
 'SELECT *' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'ORDER BY id' || char(13,10) ||
 'LIMIT 40, 20;'),
(1, 'Paging (T-SQL OFFSET/FETCH)',
 'SELECT *' || char(13,10) ||
 'FROM dbo.table_name' || char(13,10) ||
 'ORDER BY id' || char(13,10) ||
 'OFFSET 40 ROWS FETCH NEXT 20 ROWS ONLY;'),
(1, 'Top N rows (T-SQL)',
 'SELECT TOP (10) *' || char(13,10) ||
 'FROM dbo.table_name' || char(13,10) ||
 'ORDER BY column1 DESC;'),
(1, 'Top 10% by value (T-SQL)',
 'SELECT TOP (10) PERCENT *' || char(13,10) ||
 'FROM dbo.table_name' || char(13,10) ||
 'ORDER BY value_column DESC;'),
(1, 'Union of two queries',
 'SELECT column1, column2 FROM table_a' || char(13,10) ||
 'UNION' || char(13,10) ||
 'SELECT column1, column2 FROM table_b' || char(13,10) ||
 'ORDER BY column1;'),
(1, 'CASE expression',
 'SELECT column1,' || char(13,10) ||
 '       CASE' || char(13,10) ||
 '           WHEN column2 < 0 THEN ''negative''' || char(13,10) ||
 '           WHEN column2 = 0 THEN ''zero''' || char(13,10) ||
 '           ELSE ''positive''' || char(13,10) ||
 '       END AS sign_label' || char(13,10) ||
 'FROM table_name;'),
(1, 'Pivot with CASE',
 'SELECT group_column,' || char(13,10) ||
 '       SUM(CASE WHEN category_column = ''A'' THEN value_column ELSE 0 END) AS total_a,' || char(13,10) ||
 '       SUM(CASE WHEN category_column = ''B'' THEN value_column ELSE 0 END) AS total_b,' || char(13,10) ||
 '       SUM(value_column) AS total' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'GROUP BY group_column' || char(13,10) ||
 'ORDER BY group_column;');

-- Schema (DDL)
INSERT INTO templates ("group", title, code) VALUES
(2, 'Create table (PostgreSQL)',
 'CREATE TABLE new_table (' || char(13,10) ||
 '    id          BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,' || char(13,10) ||
 '    name        VARCHAR(100) NOT NULL,' || char(13,10) ||
 '    amount      NUMERIC(12, 2) NOT NULL DEFAULT 0,' || char(13,10) ||
 '    is_active   BOOLEAN NOT NULL DEFAULT TRUE,' || char(13,10) ||
 '    created_at  TIMESTAMPTZ NOT NULL DEFAULT now(),' || char(13,10) ||
 '    notes       TEXT' || char(13,10) ||
 ');'),
(2, 'Create table (MariaDB/MySQL)',
 'CREATE TABLE new_table (' || char(13,10) ||
 '    id          BIGINT UNSIGNED NOT NULL AUTO_INCREMENT,' || char(13,10) ||
 '    name        VARCHAR(100) NOT NULL,' || char(13,10) ||
 '    amount      DECIMAL(12, 2) NOT NULL DEFAULT 0,' || char(13,10) ||
 '    is_active   BOOLEAN NOT NULL DEFAULT TRUE,' || char(13,10) ||
 '    created_at  TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP,' || char(13,10) ||
 '    notes       TEXT,' || char(13,10) ||
 '    PRIMARY KEY (id)' || char(13,10) ||
 ') ENGINE = InnoDB DEFAULT CHARSET = utf8mb4;'),
(2, 'Create table (SQLite)',
 'CREATE TABLE new_table (' || char(13,10) ||
 '    id          INTEGER PRIMARY KEY,' || char(13,10) ||
 '    name        TEXT NOT NULL,' || char(13,10) ||
 '    amount      REAL NOT NULL DEFAULT 0,' || char(13,10) ||
 '    is_active   INTEGER NOT NULL DEFAULT 1 CHECK (is_active IN (0, 1)),' || char(13,10) ||
 '    created_at  TEXT NOT NULL DEFAULT (datetime(''now'')),' || char(13,10) ||
 '    notes       TEXT' || char(13,10) ||
 ');'),
(2, 'Create table (T-SQL)',
 'CREATE TABLE dbo.new_table (' || char(13,10) ||
 '    id          INT IDENTITY(1, 1) NOT NULL CONSTRAINT PK_new_table PRIMARY KEY,' || char(13,10) ||
 '    name        NVARCHAR(100) NOT NULL,' || char(13,10) ||
 '    amount      DECIMAL(12, 2) NOT NULL CONSTRAINT DF_new_table_amount DEFAULT 0,' || char(13,10) ||
 '    is_active   BIT NOT NULL CONSTRAINT DF_new_table_is_active DEFAULT 1,' || char(13,10) ||
 '    created_at  DATETIME2 NOT NULL CONSTRAINT DF_new_table_created_at DEFAULT SYSUTCDATETIME(),' || char(13,10) ||
 '    notes       NVARCHAR(MAX) NULL' || char(13,10) ||
 ');'),
(2, 'Table from query (PostgreSQL, SQLite)',
 '-- copies columns and rows only: no keys, indexes or defaults' || char(13,10) ||
 'CREATE TABLE new_table AS' || char(13,10) ||
 'SELECT *' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'WHERE condition;'),
(2, 'Table from query (MariaDB/MySQL)',
 '-- copies columns, keys and indexes, then the chosen rows' || char(13,10) ||
 'CREATE TABLE new_table LIKE table_name;' || char(13,10) ||
 'INSERT INTO new_table' || char(13,10) ||
 'SELECT *' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'WHERE condition;'),
(2, 'Table from query (T-SQL SELECT INTO)',
 '-- creates dbo.new_table with the columns of the query' || char(13,10) ||
 'SELECT *' || char(13,10) ||
 'INTO dbo.new_table' || char(13,10) ||
 'FROM dbo.table_name' || char(13,10) ||
 'WHERE condition;'),
(2, 'Alter table (PostgreSQL)',
 'ALTER TABLE table_name ADD COLUMN new_column VARCHAR(100);' || char(13,10) ||
 'ALTER TABLE table_name ALTER COLUMN new_column TYPE VARCHAR(200);' || char(13,10) ||
 'ALTER TABLE table_name ALTER COLUMN new_column SET DEFAULT ''value'';' || char(13,10) ||
 'ALTER TABLE table_name RENAME COLUMN new_column TO renamed_column;' || char(13,10) ||
 'ALTER TABLE table_name DROP COLUMN renamed_column;'),
(2, 'Alter table (MariaDB/MySQL)',
 'ALTER TABLE table_name ADD COLUMN new_column VARCHAR(100) NULL AFTER id;' || char(13,10) ||
 'ALTER TABLE table_name MODIFY COLUMN new_column VARCHAR(200) NULL DEFAULT ''value'';' || char(13,10) ||
 'ALTER TABLE table_name CHANGE COLUMN new_column renamed_column VARCHAR(200) NULL;' || char(13,10) ||
 'ALTER TABLE table_name DROP COLUMN renamed_column;'),
(2, 'Alter table (SQLite)',
 '-- DROP COLUMN needs SQLite 3.35 or later' || char(13,10) ||
 'ALTER TABLE table_name ADD COLUMN new_column TEXT;' || char(13,10) ||
 'ALTER TABLE table_name RENAME COLUMN new_column TO renamed_column;' || char(13,10) ||
 'ALTER TABLE table_name DROP COLUMN renamed_column;' || char(13,10) ||
 'ALTER TABLE table_name RENAME TO new_table_name;'),
(2, 'Alter table (T-SQL)',
 'ALTER TABLE dbo.table_name ADD new_column NVARCHAR(100) NULL;' || char(13,10) ||
 'ALTER TABLE dbo.table_name ALTER COLUMN new_column NVARCHAR(200) NULL;' || char(13,10) ||
 'EXEC sp_rename ''dbo.table_name.new_column'', ''renamed_column'', ''COLUMN'';' || char(13,10) ||
 'ALTER TABLE dbo.table_name DROP COLUMN renamed_column;'),
(2, 'Create view',
 '-- T-SQL: run CREATE VIEW as a batch of its own' || char(13,10) ||
 'CREATE VIEW view_name AS' || char(13,10) ||
 'SELECT column1, column2' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'WHERE condition;'),
(2, 'Replace view (PostgreSQL, MariaDB/MySQL)',
 'CREATE OR REPLACE VIEW view_name AS' || char(13,10) ||
 'SELECT column1, column2' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'WHERE condition;'),
(2, 'Replace view (SQLite)',
 'DROP VIEW IF EXISTS view_name;' || char(13,10) ||
 'CREATE VIEW view_name AS' || char(13,10) ||
 'SELECT column1, column2' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'WHERE condition;'),
(2, 'Replace view (T-SQL)',
 '-- SQL Server 2016 SP1 or later; run as a batch of its own' || char(13,10) ||
 'CREATE OR ALTER VIEW dbo.view_name AS' || char(13,10) ||
 'SELECT column1, column2' || char(13,10) ||
 'FROM dbo.table_name' || char(13,10) ||
 'WHERE condition;'),
(2, 'Drop if exists',
 '-- SQL Server needs 2016 or later for IF EXISTS' || char(13,10) ||
 'DROP VIEW IF EXISTS view_name;' || char(13,10) ||
 'DROP TABLE IF EXISTS table_name;'),
(2, 'Add constraints (PostgreSQL, T-SQL)',
 'ALTER TABLE child_table' || char(13,10) ||
 '    ADD CONSTRAINT fk_child_table_parent FOREIGN KEY (parent_id)' || char(13,10) ||
 '    REFERENCES parent_table (id) ON DELETE CASCADE;' || char(13,10) ||
 'ALTER TABLE table_name ADD CONSTRAINT uq_table_name_code UNIQUE (code);' || char(13,10) ||
 'ALTER TABLE table_name ADD CONSTRAINT ck_table_name_amount CHECK (amount >= 0);' || char(13,10) ||
 'ALTER TABLE table_name DROP CONSTRAINT ck_table_name_amount;'),
(2, 'Add constraints (MariaDB/MySQL)',
 '-- CHECK is enforced from MariaDB 10.2 and MySQL 8.0.16' || char(13,10) ||
 'ALTER TABLE child_table' || char(13,10) ||
 '    ADD CONSTRAINT fk_child_table_parent FOREIGN KEY (parent_id)' || char(13,10) ||
 '    REFERENCES parent_table (id) ON DELETE CASCADE;' || char(13,10) ||
 'ALTER TABLE table_name ADD CONSTRAINT uq_table_name_code UNIQUE (code);' || char(13,10) ||
 'ALTER TABLE table_name ADD CONSTRAINT ck_table_name_amount CHECK (amount >= 0);' || char(13,10) ||
 'ALTER TABLE child_table DROP FOREIGN KEY fk_child_table_parent;'),
(2, 'Constraints at create time (SQLite)',
 '-- SQLite sets constraints only in CREATE TABLE' || char(13,10) ||
 'PRAGMA foreign_keys = ON;' || char(13,10) ||
 'CREATE TABLE new_child (' || char(13,10) ||
 '    id          INTEGER PRIMARY KEY,' || char(13,10) ||
 '    parent_id   INTEGER NOT NULL REFERENCES parent_table (id) ON DELETE CASCADE,' || char(13,10) ||
 '    code        TEXT NOT NULL UNIQUE,' || char(13,10) ||
 '    amount      REAL NOT NULL CHECK (amount >= 0),' || char(13,10) ||
 '    UNIQUE (parent_id, amount)' || char(13,10) ||
 ');'),
(2, 'Sequence (PostgreSQL)',
 'CREATE SEQUENCE sequence_name START WITH 1 INCREMENT BY 1;' || char(13,10) ||
 'SELECT nextval(''sequence_name'');' || char(13,10) ||
 'SELECT currval(''sequence_name'');' || char(13,10) ||
 'ALTER SEQUENCE sequence_name RESTART WITH 1000;'),
(2, 'Sequence (MariaDB)',
 '-- MariaDB 10.3 or later' || char(13,10) ||
 'CREATE SEQUENCE sequence_name START WITH 1 INCREMENT BY 1;' || char(13,10) ||
 'SELECT NEXT VALUE FOR sequence_name;' || char(13,10) ||
 'SELECT PREVIOUS VALUE FOR sequence_name;' || char(13,10) ||
 'ALTER SEQUENCE sequence_name RESTART WITH 1000;'),
(2, 'Sequence (T-SQL)',
 'CREATE SEQUENCE dbo.sequence_name AS BIGINT START WITH 1 INCREMENT BY 1;' || char(13,10) ||
 'SELECT NEXT VALUE FOR dbo.sequence_name;' || char(13,10) ||
 'ALTER SEQUENCE dbo.sequence_name RESTART WITH 1000;'),
(2, 'Reset identity (PostgreSQL)',
 '-- restart at a fixed number, or continue after the highest id in use' || char(13,10) ||
 'ALTER TABLE table_name ALTER COLUMN id RESTART WITH 1000;' || char(13,10) ||
 'SELECT setval(pg_get_serial_sequence(''table_name'', ''id''), COALESCE(MAX(id), 0) + 1, false)' || char(13,10) ||
 'FROM table_name;'),
(2, 'Reset identity (T-SQL)',
 'SELECT IDENT_CURRENT(''dbo.table_name'') AS current_identity;' || char(13,10) ||
 'DBCC CHECKIDENT (''dbo.table_name'', RESEED, 1000);' || char(13,10) ||
 'DBCC CHECKIDENT (''dbo.table_name'', NORESEED);'),
(2, 'Reset auto-increment (MariaDB/MySQL)',
 'SELECT AUTO_INCREMENT' || char(13,10) ||
 'FROM information_schema.TABLES' || char(13,10) ||
 'WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ''table_name'';' || char(13,10) ||
 'ALTER TABLE table_name AUTO_INCREMENT = 1000;'),
(2, 'Reset AUTOINCREMENT (SQLite)',
 '-- sqlite_sequence exists once a table uses AUTOINCREMENT' || char(13,10) ||
 'SELECT name, seq FROM sqlite_sequence;' || char(13,10) ||
 'UPDATE sqlite_sequence SET seq = 999 WHERE name = ''table_name'';');

-- Indexes
INSERT INTO templates ("group", title, code) VALUES
(3, 'Create index',
 '-- one column, then several: the column filtered most goes first' || char(13,10) ||
 'CREATE INDEX ix_table_name_column1 ON table_name (column1);' || char(13,10) ||
 'CREATE INDEX ix_table_name_column1_column2 ON table_name (column1, column2 DESC);'),
(3, 'Unique index',
 'CREATE UNIQUE INDEX ux_table_name_code' || char(13,10) ||
 '    ON table_name (code);' || char(13,10) ||
 'CREATE UNIQUE INDEX ux_table_name_column1_column2' || char(13,10) ||
 '    ON table_name (column1, column2);'),
(3, 'Partial index (PostgreSQL, SQLite)',
 '-- indexes only the rows that match the WHERE' || char(13,10) ||
 'CREATE INDEX ix_table_name_open ON table_name (created_at)' || char(13,10) ||
 '    WHERE deleted_at IS NULL;' || char(13,10) ||
 'CREATE UNIQUE INDEX ux_table_name_open_code ON table_name (code)' || char(13,10) ||
 '    WHERE deleted_at IS NULL;'),
(3, 'Filtered index (T-SQL)',
 '-- indexes only the rows that match the WHERE' || char(13,10) ||
 'CREATE NONCLUSTERED INDEX ix_table_name_open' || char(13,10) ||
 '    ON dbo.table_name (created_at)' || char(13,10) ||
 '    WHERE deleted_at IS NULL;'),
(3, 'Covering index (PostgreSQL)',
 '-- PostgreSQL 11 or later; INCLUDE columns are stored, not searched' || char(13,10) ||
 'CREATE INDEX ix_table_name_column1_incl' || char(13,10) ||
 '    ON table_name (column1)' || char(13,10) ||
 '    INCLUDE (column2, column3);'),
(3, 'Covering index (T-SQL)',
 '-- INCLUDE columns are stored in the index, not searched' || char(13,10) ||
 'CREATE NONCLUSTERED INDEX ix_table_name_column1_incl' || char(13,10) ||
 '    ON dbo.table_name (column1)' || char(13,10) ||
 '    INCLUDE (column2, column3);'),
(3, 'Covering index (SQLite, MariaDB/MySQL)',
 '-- no INCLUDE here: add the selected columns after the searched one' || char(13,10) ||
 'CREATE INDEX ix_table_name_column1_cover' || char(13,10) ||
 '    ON table_name (column1, column2, column3);'),
(3, 'Expression index (PostgreSQL, SQLite)',
 '-- serves queries that filter on exactly this expression' || char(13,10) ||
 'CREATE INDEX ix_table_name_lower_email' || char(13,10) ||
 '    ON table_name (lower(email));' || char(13,10) ||
 'SELECT * FROM table_name WHERE lower(email) = ''value'';'),
(3, 'Create index online (PostgreSQL)',
 '-- does not block writes; cannot run inside a transaction block' || char(13,10) ||
 'CREATE INDEX CONCURRENTLY ix_table_name_column2' || char(13,10) ||
 '    ON table_name (column2);'),
(3, 'Drop index (PostgreSQL, SQLite)',
 '-- the index name alone is enough: it is unique in its schema' || char(13,10) ||
 'DROP INDEX IF EXISTS ix_table_name_column1;' || char(13,10) ||
 'DROP INDEX IF EXISTS ux_table_name_code;'),
(3, 'Drop index (MariaDB/MySQL)',
 '-- the index name is unique per table only, so the table is named' || char(13,10) ||
 'DROP INDEX ix_table_name_column1 ON table_name;' || char(13,10) ||
 'DROP INDEX ux_table_name_code ON table_name;'),
(3, 'Drop index (T-SQL)',
 '-- SQL Server 2016 or later for IF EXISTS' || char(13,10) ||
 'DROP INDEX IF EXISTS ix_table_name_column1 ON dbo.table_name;' || char(13,10) ||
 'DROP INDEX IF EXISTS ux_table_name_code ON dbo.table_name;'),
(3, 'List indexes (PostgreSQL)',
 'SELECT tablename, indexname, indexdef' || char(13,10) ||
 'FROM pg_indexes' || char(13,10) ||
 'WHERE schemaname = ''public''' || char(13,10) ||
 '  AND tablename = ''table_name''' || char(13,10) ||
 'ORDER BY indexname;'),
(3, 'List indexes (MariaDB/MySQL)',
 'SELECT INDEX_NAME, NON_UNIQUE, SEQ_IN_INDEX, COLUMN_NAME, INDEX_TYPE' || char(13,10) ||
 'FROM information_schema.STATISTICS' || char(13,10) ||
 'WHERE TABLE_SCHEMA = DATABASE()' || char(13,10) ||
 '  AND TABLE_NAME = ''table_name''' || char(13,10) ||
 'ORDER BY INDEX_NAME, SEQ_IN_INDEX;'),
(3, 'List indexes (SQLite)',
 'SELECT m.name AS table_name, il.name AS index_name, il."unique",' || char(13,10) ||
 '       ii.seqno, ii.name AS column_name' || char(13,10) ||
 'FROM sqlite_master AS m' || char(13,10) ||
 'JOIN pragma_index_list(m.name) AS il' || char(13,10) ||
 'JOIN pragma_index_info(il.name) AS ii' || char(13,10) ||
 'WHERE m.type = ''table''' || char(13,10) ||
 '  AND m.name = ''table_name''' || char(13,10) ||
 'ORDER BY il.name, ii.seqno;'),
(3, 'List indexes (T-SQL)',
 'SELECT i.name AS index_name, i.type_desc, i.is_unique, i.is_primary_key,' || char(13,10) ||
 '       c.name AS column_name, ic.key_ordinal, ic.is_included_column' || char(13,10) ||
 'FROM sys.indexes AS i' || char(13,10) ||
 'JOIN sys.index_columns AS ic' || char(13,10) ||
 '    ON ic.object_id = i.object_id AND ic.index_id = i.index_id' || char(13,10) ||
 'JOIN sys.columns AS c' || char(13,10) ||
 '    ON c.object_id = ic.object_id AND c.column_id = ic.column_id' || char(13,10) ||
 'WHERE i.object_id = OBJECT_ID(''dbo.table_name'')' || char(13,10) ||
 'ORDER BY i.name, ic.is_included_column, ic.key_ordinal;'),
(3, 'Unused indexes (PostgreSQL)',
 '-- counters run from the last statistics reset' || char(13,10) ||
 'SELECT s.relname AS table_name, s.indexrelname AS index_name, s.idx_scan,' || char(13,10) ||
 '       pg_size_pretty(pg_relation_size(s.indexrelid)) AS index_size' || char(13,10) ||
 'FROM pg_stat_user_indexes AS s' || char(13,10) ||
 'JOIN pg_index AS i ON i.indexrelid = s.indexrelid' || char(13,10) ||
 'WHERE s.idx_scan = 0' || char(13,10) ||
 '  AND NOT i.indisunique' || char(13,10) ||
 'ORDER BY pg_relation_size(s.indexrelid) DESC;');

-- Transactions
INSERT INTO templates ("group", title, code) VALUES
(4, 'Transaction (PostgreSQL, SQLite)',
 '-- ROLLBACK in place of COMMIT undoes every change since BEGIN' || char(13,10) ||
 'BEGIN;' || char(13,10) ||
 'UPDATE table_name SET column1 = value WHERE condition;' || char(13,10) ||
 'INSERT INTO log_table (column1) VALUES (value);' || char(13,10) ||
 'COMMIT;'),
(4, 'Transaction (MariaDB/MySQL)',
 '-- ROLLBACK in place of COMMIT undoes every change since START' || char(13,10) ||
 'START TRANSACTION;' || char(13,10) ||
 'UPDATE table_name SET column1 = value WHERE condition;' || char(13,10) ||
 'INSERT INTO log_table (column1) VALUES (value);' || char(13,10) ||
 'COMMIT;'),
(4, 'Transaction (T-SQL)',
 'BEGIN TRY' || char(13,10) ||
 '    BEGIN TRANSACTION;' || char(13,10) ||
 '    UPDATE dbo.table_name SET column1 = value WHERE condition;' || char(13,10) ||
 '    INSERT INTO dbo.log_table (column1) VALUES (value);' || char(13,10) ||
 '    COMMIT TRANSACTION;' || char(13,10) ||
 'END TRY' || char(13,10) ||
 'BEGIN CATCH' || char(13,10) ||
 '    IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION;' || char(13,10) ||
 '    THROW;' || char(13,10) ||
 'END CATCH;'),
(4, 'Savepoint (PostgreSQL, SQLite)',
 'BEGIN;' || char(13,10) ||
 'INSERT INTO table_name (column1) VALUES (value1);' || char(13,10) ||
 'SAVEPOINT before_change;' || char(13,10) ||
 'UPDATE table_name SET column1 = value2 WHERE condition;' || char(13,10) ||
 'ROLLBACK TO SAVEPOINT before_change;' || char(13,10) ||
 'RELEASE SAVEPOINT before_change;' || char(13,10) ||
 'COMMIT;'),
(4, 'Savepoint (MariaDB/MySQL)',
 'START TRANSACTION;' || char(13,10) ||
 'INSERT INTO table_name (column1) VALUES (value1);' || char(13,10) ||
 'SAVEPOINT before_change;' || char(13,10) ||
 'UPDATE table_name SET column1 = value2 WHERE condition;' || char(13,10) ||
 'ROLLBACK TO SAVEPOINT before_change;' || char(13,10) ||
 'RELEASE SAVEPOINT before_change;' || char(13,10) ||
 'COMMIT;'),
(4, 'Savepoint (T-SQL)',
 'BEGIN TRANSACTION;' || char(13,10) ||
 'INSERT INTO dbo.table_name (column1) VALUES (value1);' || char(13,10) ||
 'SAVE TRANSACTION before_change;' || char(13,10) ||
 'UPDATE dbo.table_name SET column1 = value2 WHERE condition;' || char(13,10) ||
 'ROLLBACK TRANSACTION before_change;' || char(13,10) ||
 'COMMIT TRANSACTION;'),
(4, 'Isolation level (PostgreSQL)',
 '-- READ COMMITTED (default), REPEATABLE READ or SERIALIZABLE' || char(13,10) ||
 'BEGIN TRANSACTION ISOLATION LEVEL REPEATABLE READ;' || char(13,10) ||
 'SHOW transaction_isolation;' || char(13,10) ||
 'SELECT * FROM table_name WHERE condition;' || char(13,10) ||
 'COMMIT;'),
(4, 'Isolation level (MariaDB/MySQL)',
 '-- applies to the next transaction; SET SESSION TRANSACTION ... for all' || char(13,10) ||
 'SET TRANSACTION ISOLATION LEVEL READ COMMITTED;' || char(13,10) ||
 'START TRANSACTION;' || char(13,10) ||
 'SELECT * FROM table_name WHERE condition;' || char(13,10) ||
 'COMMIT;'),
(4, 'Isolation level (T-SQL)',
 '-- READ UNCOMMITTED, READ COMMITTED, REPEATABLE READ, SNAPSHOT, SERIALIZABLE' || char(13,10) ||
 'SET TRANSACTION ISOLATION LEVEL SERIALIZABLE;' || char(13,10) ||
 'BEGIN TRANSACTION;' || char(13,10) ||
 'SELECT * FROM dbo.table_name WHERE condition;' || char(13,10) ||
 'COMMIT TRANSACTION;'),
(4, 'Write lock at start (SQLite)',
 '-- takes the write lock now, so a later write cannot fail as busy' || char(13,10) ||
 'BEGIN IMMEDIATE;' || char(13,10) ||
 'UPDATE table_name SET column1 = value WHERE condition;' || char(13,10) ||
 'COMMIT;'),
(4, 'Lock rows (PostgreSQL, MariaDB/MySQL)',
 'START TRANSACTION;' || char(13,10) ||
 'SELECT * FROM table_name WHERE id = value FOR UPDATE;' || char(13,10) ||
 'UPDATE table_name SET column1 = value WHERE id = value;' || char(13,10) ||
 'COMMIT;'),
(4, 'Lock rows (T-SQL)',
 'BEGIN TRANSACTION;' || char(13,10) ||
 'SELECT * FROM dbo.table_name WITH (UPDLOCK, ROWLOCK) WHERE id = value;' || char(13,10) ||
 'UPDATE dbo.table_name SET column1 = value WHERE id = value;' || char(13,10) ||
 'COMMIT TRANSACTION;'),
(4, 'Claim next job (PostgreSQL)',
 '-- each worker gets a different pending row and never waits' || char(13,10) ||
 'UPDATE table_name' || char(13,10) ||
 'SET status = ''running''' || char(13,10) ||
 'WHERE id = (SELECT id' || char(13,10) ||
 '            FROM table_name' || char(13,10) ||
 '            WHERE status = ''pending''' || char(13,10) ||
 '            ORDER BY id' || char(13,10) ||
 '            LIMIT 1' || char(13,10) ||
 '            FOR UPDATE SKIP LOCKED)' || char(13,10) ||
 'RETURNING *;'),
(4, 'Claim next job (T-SQL)',
 '-- each worker gets a different pending row and never waits' || char(13,10) ||
 'WITH next_job AS (' || char(13,10) ||
 '    SELECT TOP (1) *' || char(13,10) ||
 '    FROM dbo.table_name WITH (UPDLOCK, READPAST, ROWLOCK)' || char(13,10) ||
 '    WHERE status = ''pending''' || char(13,10) ||
 '    ORDER BY id' || char(13,10) ||
 ')' || char(13,10) ||
 'UPDATE next_job' || char(13,10) ||
 'SET status = ''running''' || char(13,10) ||
 'OUTPUT inserted.*;');

-- Window Functions
INSERT INTO templates ("group", title, code) VALUES
(5, 'Row number per group',
 'SELECT group_column, order_column, value_column,' || char(13,10) ||
 '       ROW_NUMBER() OVER (PARTITION BY group_column' || char(13,10) ||
 '                          ORDER BY order_column) AS row_num' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'ORDER BY group_column, row_num;'),
(5, 'Rank and dense rank',
 'SELECT group_column, value_column,' || char(13,10) ||
 '       RANK()       OVER (ORDER BY value_column DESC) AS value_rank,' || char(13,10) ||
 '       DENSE_RANK() OVER (ORDER BY value_column DESC) AS value_dense_rank' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'ORDER BY value_rank;'),
(5, 'Running total',
 'SELECT order_column, value_column,' || char(13,10) ||
 '       SUM(value_column) OVER (ORDER BY order_column' || char(13,10) ||
 '                               ROWS BETWEEN UNBOUNDED PRECEDING AND CURRENT ROW) AS running_total' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'ORDER BY order_column;'),
(5, 'Running total per group',
 'SELECT group_column, order_column, value_column,' || char(13,10) ||
 '       SUM(value_column) OVER (PARTITION BY group_column' || char(13,10) ||
 '                               ORDER BY order_column' || char(13,10) ||
 '                               ROWS BETWEEN UNBOUNDED PRECEDING AND CURRENT ROW) AS running_total' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'ORDER BY group_column, order_column;'),
(5, 'Previous and next row (LAG/LEAD)',
 'SELECT order_column, value_column,' || char(13,10) ||
 '       LAG(value_column)  OVER (ORDER BY order_column) AS previous_value,' || char(13,10) ||
 '       LEAD(value_column) OVER (ORDER BY order_column) AS next_value,' || char(13,10) ||
 '       value_column - LAG(value_column) OVER (ORDER BY order_column) AS change_from_previous' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'ORDER BY order_column;'),
(5, 'Top N per group',
 '-- the 3 highest rows of each group' || char(13,10) ||
 'WITH ranked AS (' || char(13,10) ||
 '    SELECT t.*,' || char(13,10) ||
 '           ROW_NUMBER() OVER (PARTITION BY group_column' || char(13,10) ||
 '                              ORDER BY value_column DESC) AS rn' || char(13,10) ||
 '    FROM table_name AS t' || char(13,10) ||
 ')' || char(13,10) ||
 'SELECT *' || char(13,10) ||
 'FROM ranked' || char(13,10) ||
 'WHERE rn <= 3' || char(13,10) ||
 'ORDER BY group_column, rn;'),
(5, 'Moving average (7 rows)',
 'SELECT order_column, value_column,' || char(13,10) ||
 '       AVG(value_column * 1.0) OVER (ORDER BY order_column' || char(13,10) ||
 '                                     ROWS BETWEEN 6 PRECEDING AND CURRENT ROW) AS moving_avg_7' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'ORDER BY order_column;'),
(5, 'Share of group total (%)',
 'SELECT group_column, value_column,' || char(13,10) ||
 '       100.0 * value_column / NULLIF(SUM(value_column) OVER (PARTITION BY group_column), 0) AS pct_of_group' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'ORDER BY group_column, pct_of_group DESC;'),
(5, 'Quartiles (NTILE)',
 'SELECT value_column,' || char(13,10) ||
 '       NTILE(4) OVER (ORDER BY value_column) AS quartile' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'ORDER BY value_column;'),
(5, 'First and last per group',
 'SELECT group_column, order_column, value_column,' || char(13,10) ||
 '       FIRST_VALUE(value_column) OVER (PARTITION BY group_column' || char(13,10) ||
 '                                       ORDER BY order_column) AS first_in_group,' || char(13,10) ||
 '       LAST_VALUE(value_column) OVER (PARTITION BY group_column' || char(13,10) ||
 '                                      ORDER BY order_column' || char(13,10) ||
 '                                      ROWS BETWEEN UNBOUNDED PRECEDING' || char(13,10) ||
 '                                               AND UNBOUNDED FOLLOWING) AS last_in_group' || char(13,10) ||
 'FROM table_name;'),
(5, 'Median (PostgreSQL)',
 'SELECT group_column,' || char(13,10) ||
 '       percentile_cont(0.5) WITHIN GROUP (ORDER BY value_column) AS median_value' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'GROUP BY group_column;'),
(5, 'Median (MariaDB)',
 '-- MariaDB 10.3.3 or later' || char(13,10) ||
 'SELECT DISTINCT group_column,' || char(13,10) ||
 '       MEDIAN(value_column) OVER (PARTITION BY group_column) AS median_value' || char(13,10) ||
 'FROM table_name;'),
(5, 'Median (T-SQL)',
 'SELECT DISTINCT group_column,' || char(13,10) ||
 '       PERCENTILE_CONT(0.5) WITHIN GROUP (ORDER BY value_column)' || char(13,10) ||
 '           OVER (PARTITION BY group_column) AS median_value' || char(13,10) ||
 'FROM dbo.table_name;');

-- Maintenance and Monitoring
INSERT INTO templates ("group", title, code) VALUES
(6, 'List tables (PostgreSQL)',
 'SELECT table_schema, table_name, table_type' || char(13,10) ||
 'FROM information_schema.tables' || char(13,10) ||
 'WHERE table_schema NOT IN (''pg_catalog'', ''information_schema'')' || char(13,10) ||
 'ORDER BY table_schema, table_name;'),
(6, 'List tables (MariaDB/MySQL)',
 'SELECT TABLE_NAME, TABLE_TYPE, ENGINE, TABLE_ROWS, CREATE_TIME' || char(13,10) ||
 'FROM information_schema.TABLES' || char(13,10) ||
 'WHERE TABLE_SCHEMA = DATABASE()' || char(13,10) ||
 'ORDER BY TABLE_NAME;'),
(6, 'List tables (SQLite)',
 'SELECT type, name, sql' || char(13,10) ||
 'FROM sqlite_master' || char(13,10) ||
 'WHERE type IN (''table'', ''view'')' || char(13,10) ||
 '  AND name NOT LIKE ''sqlite_%''' || char(13,10) ||
 'ORDER BY name;'),
(6, 'List tables (T-SQL)',
 'SELECT s.name AS schema_name, t.name AS table_name, t.create_date, t.modify_date' || char(13,10) ||
 'FROM sys.tables AS t' || char(13,10) ||
 'JOIN sys.schemas AS s ON s.schema_id = t.schema_id' || char(13,10) ||
 'ORDER BY s.name, t.name;'),
(6, 'List columns (PostgreSQL)',
 'SELECT column_name, data_type, character_maximum_length, is_nullable, column_default' || char(13,10) ||
 'FROM information_schema.columns' || char(13,10) ||
 'WHERE table_schema = ''public''' || char(13,10) ||
 '  AND table_name = ''table_name''' || char(13,10) ||
 'ORDER BY ordinal_position;'),
(6, 'List columns (MariaDB/MySQL)',
 'SELECT COLUMN_NAME, COLUMN_TYPE, IS_NULLABLE, COLUMN_DEFAULT, COLUMN_KEY, EXTRA' || char(13,10) ||
 'FROM information_schema.COLUMNS' || char(13,10) ||
 'WHERE TABLE_SCHEMA = DATABASE()' || char(13,10) ||
 '  AND TABLE_NAME = ''table_name''' || char(13,10) ||
 'ORDER BY ORDINAL_POSITION;'),
(6, 'List columns (SQLite)',
 'SELECT cid, name, type, "notnull", dflt_value, pk' || char(13,10) ||
 'FROM pragma_table_info(''table_name'')' || char(13,10) ||
 'ORDER BY cid;'),
(6, 'List columns (T-SQL)',
 'SELECT c.column_id, c.name AS column_name, ty.name AS data_type,' || char(13,10) ||
 '       c.max_length, c.precision, c.scale, c.is_nullable, c.is_identity' || char(13,10) ||
 'FROM sys.columns AS c' || char(13,10) ||
 'JOIN sys.types AS ty ON ty.user_type_id = c.user_type_id' || char(13,10) ||
 'WHERE c.object_id = OBJECT_ID(''dbo.table_name'')' || char(13,10) ||
 'ORDER BY c.column_id;'),
(6, 'Table sizes (PostgreSQL)',
 'SELECT n.nspname AS schema_name, c.relname AS table_name,' || char(13,10) ||
 '       c.reltuples::bigint AS approx_rows,' || char(13,10) ||
 '       pg_size_pretty(pg_relation_size(c.oid)) AS data_size,' || char(13,10) ||
 '       pg_size_pretty(pg_total_relation_size(c.oid)) AS total_size' || char(13,10) ||
 'FROM pg_class AS c' || char(13,10) ||
 'JOIN pg_namespace AS n ON n.oid = c.relnamespace' || char(13,10) ||
 'WHERE c.relkind IN (''r'', ''p'', ''m'')' || char(13,10) ||
 '  AND n.nspname NOT IN (''pg_catalog'', ''information_schema'')' || char(13,10) ||
 'ORDER BY pg_total_relation_size(c.oid) DESC' || char(13,10) ||
 'LIMIT 20;'),
(6, 'Table sizes (MariaDB/MySQL)',
 '-- TABLE_ROWS is an estimate for InnoDB' || char(13,10) ||
 'SELECT TABLE_NAME, ENGINE, TABLE_ROWS,' || char(13,10) ||
 '       ROUND(DATA_LENGTH / 1048576, 2) AS data_mb,' || char(13,10) ||
 '       ROUND(INDEX_LENGTH / 1048576, 2) AS index_mb,' || char(13,10) ||
 '       ROUND((DATA_LENGTH + INDEX_LENGTH) / 1048576, 2) AS total_mb' || char(13,10) ||
 'FROM information_schema.TABLES' || char(13,10) ||
 'WHERE TABLE_SCHEMA = DATABASE()' || char(13,10) ||
 'ORDER BY DATA_LENGTH + INDEX_LENGTH DESC;'),
(6, 'Table sizes (SQLite dbstat)',
 '-- needs an SQLite built with the dbstat virtual table' || char(13,10) ||
 'SELECT name, COUNT(*) AS pages, SUM(pgsize) AS size_bytes' || char(13,10) ||
 'FROM dbstat' || char(13,10) ||
 'GROUP BY name' || char(13,10) ||
 'ORDER BY size_bytes DESC;'),
(6, 'Database size (SQLite)',
 'SELECT p.page_count * s.page_size AS size_bytes,' || char(13,10) ||
 '       f.freelist_count * s.page_size AS free_bytes' || char(13,10) ||
 'FROM pragma_page_count() AS p, pragma_page_size() AS s, pragma_freelist_count() AS f;'),
(6, 'Table sizes (T-SQL)',
 'SELECT s.name AS schema_name, t.name AS table_name,' || char(13,10) ||
 '       SUM(CASE WHEN p.index_id IN (0, 1) THEN p.row_count ELSE 0 END) AS row_count,' || char(13,10) ||
 '       SUM(p.reserved_page_count) * 8 / 1024.0 AS reserved_mb' || char(13,10) ||
 'FROM sys.dm_db_partition_stats AS p' || char(13,10) ||
 'JOIN sys.tables AS t ON t.object_id = p.object_id' || char(13,10) ||
 'JOIN sys.schemas AS s ON s.schema_id = t.schema_id' || char(13,10) ||
 'GROUP BY s.name, t.name' || char(13,10) ||
 'ORDER BY reserved_mb DESC;'),
(6, 'Running queries (PostgreSQL)',
 'SELECT pid, usename, datname, application_name, client_addr, state,' || char(13,10) ||
 '       now() - query_start AS running_for, wait_event_type, wait_event, query' || char(13,10) ||
 'FROM pg_stat_activity' || char(13,10) ||
 'WHERE state <> ''idle''' || char(13,10) ||
 '  AND pid <> pg_backend_pid()' || char(13,10) ||
 'ORDER BY running_for DESC;'),
(6, 'Running queries (MariaDB/MySQL)',
 'SELECT ID, USER, HOST, DB, COMMAND, TIME, STATE, INFO' || char(13,10) ||
 'FROM information_schema.PROCESSLIST' || char(13,10) ||
 'WHERE COMMAND <> ''Sleep''' || char(13,10) ||
 '  AND ID <> CONNECTION_ID()' || char(13,10) ||
 'ORDER BY TIME DESC;'),
(6, 'Running queries (T-SQL)',
 'SELECT r.session_id, s.login_name, s.host_name, DB_NAME(r.database_id) AS database_name,' || char(13,10) ||
 '       r.status, r.command, r.wait_type, r.blocking_session_id,' || char(13,10) ||
 '       r.total_elapsed_time / 1000 AS elapsed_s, q.text AS query_text' || char(13,10) ||
 'FROM sys.dm_exec_requests AS r' || char(13,10) ||
 'JOIN sys.dm_exec_sessions AS s ON s.session_id = r.session_id' || char(13,10) ||
 'CROSS APPLY sys.dm_exec_sql_text(r.sql_handle) AS q' || char(13,10) ||
 'WHERE r.session_id <> @@SPID' || char(13,10) ||
 'ORDER BY r.total_elapsed_time DESC;'),
(6, 'Blocked sessions (PostgreSQL)',
 'SELECT pid, pg_blocking_pids(pid) AS blocked_by, state,' || char(13,10) ||
 '       now() - query_start AS waiting_for, query' || char(13,10) ||
 'FROM pg_stat_activity' || char(13,10) ||
 'WHERE cardinality(pg_blocking_pids(pid)) > 0;'),
(6, 'Kill a query (PostgreSQL)',
 '-- cancel stops the running statement; terminate ends the session' || char(13,10) ||
 'SELECT pg_cancel_backend(process_id);' || char(13,10) ||
 'SELECT pg_terminate_backend(process_id);'),
(6, 'Kill a query (MariaDB/MySQL)',
 '-- QUERY stops the running statement; CONNECTION ends the session' || char(13,10) ||
 'KILL QUERY process_id;' || char(13,10) ||
 'KILL CONNECTION process_id;'),
(6, 'Kill a query (T-SQL)',
 '-- the session id comes from "Running queries (T-SQL)"' || char(13,10) ||
 'KILL process_id;' || char(13,10) ||
 'KILL process_id WITH STATUSONLY;'),
(6, 'Vacuum and analyze (PostgreSQL)',
 '-- VACUUM cannot run inside a transaction block' || char(13,10) ||
 'VACUUM (ANALYZE, VERBOSE) table_name;' || char(13,10) ||
 'ANALYZE table_name;' || char(13,10) ||
 'REINDEX TABLE table_name;'),
(6, 'Dead rows and autovacuum (PostgreSQL)',
 'SELECT relname AS table_name, n_live_tup, n_dead_tup,' || char(13,10) ||
 '       last_vacuum, last_autovacuum, last_analyze, last_autoanalyze' || char(13,10) ||
 'FROM pg_stat_user_tables' || char(13,10) ||
 'ORDER BY n_dead_tup DESC;'),
(6, 'Optimize tables (MariaDB/MySQL)',
 'ANALYZE TABLE table_name;' || char(13,10) ||
 'OPTIMIZE TABLE table_name;' || char(13,10) ||
 'CHECK TABLE table_name;'),
(6, 'Vacuum and analyze (SQLite)',
 'PRAGMA integrity_check;' || char(13,10) ||
 'ANALYZE;' || char(13,10) ||
 'VACUUM;' || char(13,10) ||
 'PRAGMA optimize;'),
(6, 'Update statistics (T-SQL)',
 'UPDATE STATISTICS dbo.table_name WITH FULLSCAN;' || char(13,10) ||
 'ALTER INDEX ALL ON dbo.table_name REBUILD;' || char(13,10) ||
 'DBCC CHECKDB WITH NO_INFOMSGS;');

-- Data Changes
INSERT INTO templates ("group", title, code) VALUES
(7, 'Insert rows',
 'INSERT INTO table_name (column1, column2)' || char(13,10) ||
 'VALUES (value1, value2),' || char(13,10) ||
 '       (value3, value4);'),
(7, 'Insert from select',
 'INSERT INTO target_table (id, column1, column2)' || char(13,10) ||
 'SELECT id, column1, column2' || char(13,10) ||
 'FROM source_table' || char(13,10) ||
 'WHERE condition;'),
(7, 'Insert returning id (PostgreSQL, SQLite)',
 '-- SQLite 3.35 or later' || char(13,10) ||
 'INSERT INTO table_name (column1, column2)' || char(13,10) ||
 'VALUES (value1, value2)' || char(13,10) ||
 'RETURNING id;'),
(7, 'Insert returning id (MariaDB/MySQL)',
 'INSERT INTO table_name (column1, column2)' || char(13,10) ||
 'VALUES (value1, value2);' || char(13,10) ||
 'SELECT LAST_INSERT_ID();'),
(7, 'Insert returning id (T-SQL)',
 'INSERT INTO dbo.table_name (column1, column2)' || char(13,10) ||
 'OUTPUT inserted.id' || char(13,10) ||
 'VALUES (value1, value2);'),
(7, 'Update rows',
 'UPDATE table_name' || char(13,10) ||
 'SET column1 = value1,' || char(13,10) ||
 '    column2 = value2' || char(13,10) ||
 'WHERE condition;'),
(7, 'Update with join (PostgreSQL, SQLite)',
 '-- SQLite 3.33 or later' || char(13,10) ||
 'UPDATE target_table AS t' || char(13,10) ||
 'SET column1 = s.column1' || char(13,10) ||
 'FROM source_table AS s' || char(13,10) ||
 'WHERE s.id = t.id' || char(13,10) ||
 '  AND condition;'),
(7, 'Update with join (MariaDB/MySQL)',
 'UPDATE target_table AS t' || char(13,10) ||
 'JOIN source_table AS s ON s.id = t.id' || char(13,10) ||
 'SET t.column1 = s.column1' || char(13,10) ||
 'WHERE condition;'),
(7, 'Update with join (T-SQL)',
 'UPDATE t' || char(13,10) ||
 'SET t.column1 = s.column1' || char(13,10) ||
 'FROM dbo.target_table AS t' || char(13,10) ||
 'JOIN dbo.source_table AS s ON s.id = t.id' || char(13,10) ||
 'WHERE condition;'),
(7, 'Delete rows',
 '-- run the WHERE in a SELECT first to see which rows go' || char(13,10) ||
 'DELETE FROM table_name' || char(13,10) ||
 'WHERE condition;'),
(7, 'Delete with join (PostgreSQL)',
 'DELETE FROM target_table AS t' || char(13,10) ||
 'USING source_table AS s' || char(13,10) ||
 'WHERE s.id = t.id' || char(13,10) ||
 '  AND condition;'),
(7, 'Delete with join (MariaDB/MySQL)',
 'DELETE t' || char(13,10) ||
 'FROM target_table AS t' || char(13,10) ||
 'JOIN source_table AS s ON s.id = t.id' || char(13,10) ||
 'WHERE condition;'),
(7, 'Delete with join (T-SQL)',
 'DELETE t' || char(13,10) ||
 'FROM dbo.target_table AS t' || char(13,10) ||
 'JOIN dbo.source_table AS s ON s.id = t.id' || char(13,10) ||
 'WHERE condition;'),
(7, 'Delete with join (SQLite)',
 'DELETE FROM target_table' || char(13,10) ||
 'WHERE EXISTS (SELECT 1' || char(13,10) ||
 '              FROM source_table AS s' || char(13,10) ||
 '              WHERE s.id = target_table.id' || char(13,10) ||
 '                AND condition);'),
(7, 'Delete duplicate rows',
 '-- keeps the lowest id of each (column1, column2) pair' || char(13,10) ||
 'DELETE FROM table_name' || char(13,10) ||
 'WHERE id NOT IN (SELECT keep_id' || char(13,10) ||
 '                 FROM (SELECT MIN(id) AS keep_id' || char(13,10) ||
 '                       FROM table_name' || char(13,10) ||
 '                       GROUP BY column1, column2) AS keepers);'),
(7, 'Upsert (PostgreSQL, SQLite)',
 '-- SQLite 3.24 or later; id needs a unique key' || char(13,10) ||
 'INSERT INTO table_name (id, column1, column2)' || char(13,10) ||
 'VALUES (value_id, value1, value2)' || char(13,10) ||
 'ON CONFLICT (id) DO UPDATE' || char(13,10) ||
 'SET column1 = excluded.column1,' || char(13,10) ||
 '    column2 = excluded.column2;'),
(7, 'Upsert (MariaDB/MySQL)',
 'INSERT INTO table_name (id, column1, column2)' || char(13,10) ||
 'VALUES (value_id, value1, value2)' || char(13,10) ||
 'ON DUPLICATE KEY UPDATE' || char(13,10) ||
 '    column1 = VALUES(column1),' || char(13,10) ||
 '    column2 = VALUES(column2);'),
(7, 'Upsert (T-SQL MERGE)',
 'MERGE dbo.table_name WITH (HOLDLOCK) AS t' || char(13,10) ||
 'USING (VALUES (value_id, value1, value2)) AS s (id, column1, column2)' || char(13,10) ||
 '    ON t.id = s.id' || char(13,10) ||
 'WHEN MATCHED THEN' || char(13,10) ||
 '    UPDATE SET t.column1 = s.column1,' || char(13,10) ||
 '               t.column2 = s.column2' || char(13,10) ||
 'WHEN NOT MATCHED BY TARGET THEN' || char(13,10) ||
 '    INSERT (id, column1, column2)' || char(13,10) ||
 '    VALUES (s.id, s.column1, s.column2);'),
(7, 'Upsert (SQLite INSERT OR REPLACE)',
 '-- replaces the whole row: columns not listed get their defaults' || char(13,10) ||
 'INSERT OR REPLACE INTO table_name (id, column1, column2)' || char(13,10) ||
 'VALUES (value_id, value1, value2);'),
(7, 'Merge (PostgreSQL 15+)',
 'MERGE INTO target_table AS t' || char(13,10) ||
 'USING source_table AS s' || char(13,10) ||
 '    ON t.id = s.id' || char(13,10) ||
 'WHEN MATCHED THEN' || char(13,10) ||
 '    UPDATE SET column1 = s.column1, column2 = s.column2' || char(13,10) ||
 'WHEN NOT MATCHED THEN' || char(13,10) ||
 '    INSERT (id, column1, column2) VALUES (s.id, s.column1, s.column2);'),
(7, 'Insert or skip (PostgreSQL, SQLite)',
 'INSERT INTO table_name (id, column1, column2)' || char(13,10) ||
 'VALUES (value_id, value1, value2)' || char(13,10) ||
 'ON CONFLICT (id) DO NOTHING;'),
(7, 'Insert or skip (MariaDB/MySQL)',
 '-- IGNORE also skips other errors, such as values that do not fit' || char(13,10) ||
 'INSERT IGNORE INTO table_name (id, column1, column2)' || char(13,10) ||
 'VALUES (value_id, value1, value2);'),
(7, 'Insert or skip (T-SQL)',
 'INSERT INTO dbo.table_name (id, column1, column2)' || char(13,10) ||
 'SELECT value_id, value1, value2' || char(13,10) ||
 'WHERE NOT EXISTS (SELECT 1 FROM dbo.table_name WHERE id = value_id);');

-- Dates and Times
INSERT INTO templates ("group", title, code) VALUES
(8, 'Today''s rows (PostgreSQL)',
 'SELECT *' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'WHERE created_at >= CURRENT_DATE' || char(13,10) ||
 '  AND created_at < CURRENT_DATE + 1;'),
(8, 'Today''s rows (MariaDB/MySQL)',
 'SELECT *' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'WHERE created_at >= CURDATE()' || char(13,10) ||
 '  AND created_at < CURDATE() + INTERVAL 1 DAY;'),
(8, 'Today''s rows (SQLite)',
 '-- for dates kept as UTC text such as ''2024-05-31 14:03:00''' || char(13,10) ||
 'SELECT *' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'WHERE created_at >= date(''now'')' || char(13,10) ||
 '  AND created_at < date(''now'', ''+1 day'');'),
(8, 'Today''s rows (T-SQL)',
 'SELECT *' || char(13,10) ||
 'FROM dbo.table_name' || char(13,10) ||
 'WHERE created_at >= CAST(GETDATE() AS DATE)' || char(13,10) ||
 '  AND created_at < DATEADD(DAY, 1, CAST(GETDATE() AS DATE));'),
(8, 'Date arithmetic (PostgreSQL)',
 'SELECT now() AS current_ts,' || char(13,10) ||
 '       CURRENT_DATE + 7 AS in_a_week,' || char(13,10) ||
 '       now() - INTERVAL ''30 days'' AS thirty_days_ago,' || char(13,10) ||
 '       date_trunc(''month'', now()) AS month_start,' || char(13,10) ||
 '       DATE ''2024-12-31'' - DATE ''2024-01-01'' AS days_between,' || char(13,10) ||
 '       EXTRACT(YEAR FROM now()) AS year_number;'),
(8, 'Date arithmetic (MariaDB/MySQL)',
 'SELECT NOW() AS current_ts,' || char(13,10) ||
 '       CURDATE() + INTERVAL 7 DAY AS in_a_week,' || char(13,10) ||
 '       NOW() - INTERVAL 30 DAY AS thirty_days_ago,' || char(13,10) ||
 '       DATE_FORMAT(CURDATE(), ''%Y-%m-01'') AS month_start,' || char(13,10) ||
 '       DATEDIFF(''2024-12-31'', ''2024-01-01'') AS days_between,' || char(13,10) ||
 '       YEAR(NOW()) AS year_number;'),
(8, 'Date arithmetic (SQLite)',
 'SELECT datetime(''now'') AS current_ts,' || char(13,10) ||
 '       date(''now'', ''+7 days'') AS in_a_week,' || char(13,10) ||
 '       datetime(''now'', ''-30 days'') AS thirty_days_ago,' || char(13,10) ||
 '       date(''now'', ''start of month'') AS month_start,' || char(13,10) ||
 '       julianday(''2024-12-31'') - julianday(''2024-01-01'') AS days_between,' || char(13,10) ||
 '       strftime(''%Y'', ''now'') AS year_number;'),
(8, 'Date arithmetic (T-SQL)',
 'SELECT SYSDATETIME() AS current_ts,' || char(13,10) ||
 '       DATEADD(DAY, 7, CAST(GETDATE() AS DATE)) AS in_a_week,' || char(13,10) ||
 '       DATEADD(DAY, -30, SYSDATETIME()) AS thirty_days_ago,' || char(13,10) ||
 '       DATEFROMPARTS(YEAR(GETDATE()), MONTH(GETDATE()), 1) AS month_start,' || char(13,10) ||
 '       DATEDIFF(DAY, ''2024-01-01'', ''2024-12-31'') AS days_between,' || char(13,10) ||
 '       YEAR(GETDATE()) AS year_number;'),
(8, 'Rows per month (PostgreSQL)',
 'SELECT date_trunc(''month'', date_column) AS month_start, COUNT(*) AS row_count' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'GROUP BY date_trunc(''month'', date_column)' || char(13,10) ||
 'ORDER BY month_start;'),
(8, 'Rows per month (MariaDB/MySQL)',
 'SELECT DATE_FORMAT(date_column, ''%Y-%m'') AS month_key, COUNT(*) AS row_count' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'GROUP BY DATE_FORMAT(date_column, ''%Y-%m'')' || char(13,10) ||
 'ORDER BY month_key;'),
(8, 'Rows per month (SQLite)',
 'SELECT strftime(''%Y-%m'', date_column) AS month_key, COUNT(*) AS row_count' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'GROUP BY strftime(''%Y-%m'', date_column)' || char(13,10) ||
 'ORDER BY month_key;'),
(8, 'Rows per month (T-SQL)',
 'SELECT DATEFROMPARTS(YEAR(date_column), MONTH(date_column), 1) AS month_start,' || char(13,10) ||
 '       COUNT(*) AS row_count' || char(13,10) ||
 'FROM dbo.table_name' || char(13,10) ||
 'GROUP BY DATEFROMPARTS(YEAR(date_column), MONTH(date_column), 1)' || char(13,10) ||
 'ORDER BY month_start;'),
(8, 'Day series (PostgreSQL)',
 'SELECT day_date::date AS day_date' || char(13,10) ||
 'FROM generate_series(DATE ''2024-01-01'', DATE ''2024-12-31'', INTERVAL ''1 day'')' || char(13,10) ||
 '     AS g (day_date);'),
(8, 'Day series (MariaDB/MySQL)',
 'WITH RECURSIVE days (day_date) AS (' || char(13,10) ||
 '    SELECT DATE ''2024-01-01''' || char(13,10) ||
 '    UNION ALL' || char(13,10) ||
 '    SELECT day_date + INTERVAL 1 DAY' || char(13,10) ||
 '    FROM days' || char(13,10) ||
 '    WHERE day_date < DATE ''2024-12-31''' || char(13,10) ||
 ')' || char(13,10) ||
 'SELECT day_date' || char(13,10) ||
 'FROM days;'),
(8, 'Day series (SQLite)',
 'WITH RECURSIVE days (day_date) AS (' || char(13,10) ||
 '    SELECT date(''2024-01-01'')' || char(13,10) ||
 '    UNION ALL' || char(13,10) ||
 '    SELECT date(day_date, ''+1 day'')' || char(13,10) ||
 '    FROM days' || char(13,10) ||
 '    WHERE day_date < ''2024-12-31''' || char(13,10) ||
 ')' || char(13,10) ||
 'SELECT day_date' || char(13,10) ||
 'FROM days;'),
(8, 'Day series (T-SQL)',
 'WITH days (day_date) AS (' || char(13,10) ||
 '    SELECT CAST(''2024-01-01'' AS DATE)' || char(13,10) ||
 '    UNION ALL' || char(13,10) ||
 '    SELECT DATEADD(DAY, 1, day_date)' || char(13,10) ||
 '    FROM days' || char(13,10) ||
 '    WHERE day_date < ''2024-12-31''' || char(13,10) ||
 ')' || char(13,10) ||
 'SELECT day_date' || char(13,10) ||
 'FROM days' || char(13,10) ||
 'OPTION (MAXRECURSION 0);');

-- JSON
INSERT INTO templates ("group", title, code) VALUES
(9, 'Read JSON fields (PostgreSQL)',
 'SELECT id,' || char(13,10) ||
 '       json_column ->> ''name'' AS name,' || char(13,10) ||
 '       json_column -> ''address'' ->> ''city'' AS city,' || char(13,10) ||
 '       (json_column ->> ''age'')::int AS age' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'WHERE json_column @> ''{"active": true}'';'),
(9, 'Read JSON fields (MariaDB/MySQL)',
 'SELECT id,' || char(13,10) ||
 '       JSON_UNQUOTE(JSON_EXTRACT(json_column, ''$.name'')) AS name,' || char(13,10) ||
 '       JSON_UNQUOTE(JSON_EXTRACT(json_column, ''$.address.city'')) AS city,' || char(13,10) ||
 '       CAST(JSON_EXTRACT(json_column, ''$.age'') AS SIGNED) AS age' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'WHERE JSON_CONTAINS(json_column, ''true'', ''$.active'');'),
(9, 'Read JSON fields (SQLite)',
 'SELECT id,' || char(13,10) ||
 '       json_extract(json_column, ''$.name'') AS name,' || char(13,10) ||
 '       json_extract(json_column, ''$.address.city'') AS city,' || char(13,10) ||
 '       CAST(json_extract(json_column, ''$.age'') AS INTEGER) AS age' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'WHERE json_extract(json_column, ''$.active'') = 1;'),
(9, 'Read JSON fields (T-SQL)',
 'SELECT id,' || char(13,10) ||
 '       JSON_VALUE(json_column, ''$.name'') AS name,' || char(13,10) ||
 '       JSON_VALUE(json_column, ''$.address.city'') AS city,' || char(13,10) ||
 '       CAST(JSON_VALUE(json_column, ''$.age'') AS INT) AS age' || char(13,10) ||
 'FROM dbo.table_name' || char(13,10) ||
 'WHERE JSON_VALUE(json_column, ''$.active'') = ''true'';'),
(9, 'Expand JSON array (PostgreSQL)',
 'SELECT t.id, tag.value AS tag' || char(13,10) ||
 'FROM table_name AS t' || char(13,10) ||
 'CROSS JOIN LATERAL jsonb_array_elements_text(t.json_column -> ''tags'') AS tag (value);'),
(9, 'Expand JSON array (MariaDB/MySQL)',
 '-- MariaDB 10.6 or MySQL 8.0 and later' || char(13,10) ||
 'SELECT t.id, j.tag' || char(13,10) ||
 'FROM table_name AS t' || char(13,10) ||
 'CROSS JOIN JSON_TABLE(t.json_column, ''$.tags[*]''' || char(13,10) ||
 '                      COLUMNS (tag VARCHAR(100) PATH ''$'')) AS j;'),
(9, 'Expand JSON array (SQLite)',
 'SELECT t.id, tag.value AS tag' || char(13,10) ||
 'FROM table_name AS t,' || char(13,10) ||
 '     json_each(t.json_column, ''$.tags'') AS tag;'),
(9, 'Expand JSON array (T-SQL)',
 '-- OPENJSON needs database compatibility level 130 or higher' || char(13,10) ||
 'SELECT t.id, tag.value AS tag' || char(13,10) ||
 'FROM dbo.table_name AS t' || char(13,10) ||
 'CROSS APPLY OPENJSON(t.json_column, ''$.tags'') AS tag;'),
(9, 'Rows to JSON (PostgreSQL)',
 'SELECT group_column,' || char(13,10) ||
 '       jsonb_agg(jsonb_build_object(''id'', id, ''name'', name) ORDER BY id) AS items' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'GROUP BY group_column;'),
(9, 'Rows to JSON (MariaDB/MySQL)',
 '-- JSON_ARRAYAGG needs MariaDB 10.5 or MySQL 5.7.22 and later' || char(13,10) ||
 'SELECT group_column,' || char(13,10) ||
 '       JSON_ARRAYAGG(JSON_OBJECT(''id'', id, ''name'', name)) AS items' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'GROUP BY group_column;'),
(9, 'Rows to JSON (SQLite)',
 'SELECT group_column,' || char(13,10) ||
 '       json_group_array(json_object(''id'', id, ''name'', name)) AS items' || char(13,10) ||
 'FROM table_name' || char(13,10) ||
 'GROUP BY group_column;'),
(9, 'Rows to JSON (T-SQL)',
 'SELECT id, name' || char(13,10) ||
 'FROM dbo.table_name' || char(13,10) ||
 'WHERE group_column = value' || char(13,10) ||
 'FOR JSON PATH, ROOT(''items'');'),
(9, 'Change a JSON key (PostgreSQL)',
 'UPDATE table_name' || char(13,10) ||
 'SET json_column = jsonb_set(json_column, ''{address,city}'', ''"New city"'')' || char(13,10) ||
 'WHERE id = value;' || char(13,10) ||
 'UPDATE table_name' || char(13,10) ||
 'SET json_column = json_column - ''obsolete_key''' || char(13,10) ||
 'WHERE id = value;'),
(9, 'Change a JSON key (MariaDB/MySQL)',
 'UPDATE table_name' || char(13,10) ||
 'SET json_column = JSON_SET(json_column, ''$.address.city'', ''New city'')' || char(13,10) ||
 'WHERE id = value;' || char(13,10) ||
 'UPDATE table_name' || char(13,10) ||
 'SET json_column = JSON_REMOVE(json_column, ''$.obsolete_key'')' || char(13,10) ||
 'WHERE id = value;'),
(9, 'Change a JSON key (SQLite)',
 'UPDATE table_name' || char(13,10) ||
 'SET json_column = json_set(json_column, ''$.address.city'', ''New city'')' || char(13,10) ||
 'WHERE id = value;' || char(13,10) ||
 'UPDATE table_name' || char(13,10) ||
 'SET json_column = json_remove(json_column, ''$.obsolete_key'')' || char(13,10) ||
 'WHERE id = value;'),
(9, 'Change a JSON key (T-SQL)',
 '-- setting a key to NULL removes it' || char(13,10) ||
 'UPDATE dbo.table_name' || char(13,10) ||
 'SET json_column = JSON_MODIFY(json_column, ''$.address.city'', ''New city'')' || char(13,10) ||
 'WHERE id = value;' || char(13,10) ||
 'UPDATE dbo.table_name' || char(13,10) ||
 'SET json_column = JSON_MODIFY(json_column, ''$.obsolete_key'', NULL)' || char(13,10) ||
 'WHERE id = value;');

-- Object snippets: text before, the text left selected, text after
INSERT INTO objects (groupname, title, tag_start, tag_highlight, tag_end) VALUES
('Clauses', 'WHERE', 'WHERE ', 'condition', 'x'),
('Clauses', 'AND', 'AND ', 'condition', 'x'),
('Clauses', 'OR', 'OR ', 'condition', 'x'),
('Clauses', 'ORDER BY', 'ORDER BY ', 'column_name', ' DESC'),
('Clauses', 'GROUP BY', 'GROUP BY ', 'column_name', 'x'),
('Clauses', 'HAVING', 'HAVING COUNT(*) > ', '1', 'x'),
('Clauses', 'LIMIT', 'LIMIT ', '10', 'x'),
('Clauses', 'OFFSET FETCH', 'OFFSET 0 ROWS FETCH NEXT ', '10', ' ROWS ONLY'),
('Clauses', 'TOP (T-SQL)', 'TOP (', '10', ') '),
('Clauses', 'UNION ALL', 'UNION ALL SELECT ', 'column_name', ' FROM table_name'),
('Expressions', 'CASE', 'CASE WHEN ', 'condition', ' THEN value ELSE other_value END'),
('Expressions', 'COALESCE', 'COALESCE(', 'expression', ', fallback)'),
('Expressions', 'NULLIF', 'NULLIF(', 'expression', ', 0)'),
('Expressions', 'BETWEEN', 'BETWEEN ', 'low_value', ' AND high_value'),
('Expressions', 'IN list', 'IN (', 'value1, value2', ')'),
('Expressions', 'LIKE', 'LIKE ''', 'pattern', '%'''),
('Expressions', 'IS NULL', 'x', 'column_name', ' IS NULL'),
('Expressions', 'IS NOT NULL', 'x', 'column_name', ' IS NOT NULL'),
('Expressions', 'EXISTS', 'EXISTS (SELECT 1 FROM ', 'table_name', ' WHERE condition)'),
('Joins', 'INNER JOIN', 'INNER JOIN ', 'table_name', ' AS b ON b.id = a.b_id'),
('Joins', 'LEFT JOIN', 'LEFT JOIN ', 'table_name', ' AS b ON b.id = a.b_id'),
('Joins', 'RIGHT JOIN', 'RIGHT JOIN ', 'table_name', ' AS b ON b.id = a.b_id'),
('Joins', 'FULL OUTER JOIN', 'FULL OUTER JOIN ', 'table_name', ' AS b ON b.id = a.b_id'),
('Joins', 'CROSS JOIN', 'CROSS JOIN ', 'table_name', 'x'),
('Joins', 'JOIN USING', 'JOIN table_name USING (', 'column_name', ')'),
('Comments', 'Line comment', '-- ', 'comment', 'x'),
('Comments', 'Block comment', '/* ', 'comment', ' */'),
('Comments', 'TODO note', '-- TODO: ', 'what is left to do', 'x'),
('Comments', 'Section header', '-- ==== ', 'section', ' ===='),
('Aggregates', 'COUNT rows', 'COUNT(', '*', ')'),
('Aggregates', 'COUNT DISTINCT', 'COUNT(DISTINCT ', 'column_name', ')'),
('Aggregates', 'SUM', 'SUM(', 'column_name', ')'),
('Aggregates', 'AVG', 'AVG(', 'column_name', ')'),
('Aggregates', 'MIN', 'MIN(', 'column_name', ')'),
('Aggregates', 'MAX', 'MAX(', 'column_name', ')'),
('Casts', 'CAST to integer', 'CAST(', 'expression', ' AS INTEGER)'),
('Casts', 'CAST to decimal', 'CAST(', 'expression', ' AS DECIMAL(12, 2))'),
('Casts', 'CAST to integer (MariaDB/MySQL)', 'CAST(', 'expression', ' AS SIGNED)'),
('Casts', 'CAST to text', 'CAST(', 'expression', ' AS VARCHAR(100))'),
('Casts', 'CAST to text (MariaDB/MySQL)', 'CAST(', 'expression', ' AS CHAR(100))'),
('Casts', 'CAST to date', 'CAST(', 'expression', ' AS DATE)'),
('Casts', 'Cast with :: (PostgreSQL)', 'x', 'expression', '::numeric'),
('Casts', 'CONVERT date style (T-SQL)', 'CONVERT(VARCHAR(10), ', 'expression', ', 120)'),
('Strings', 'CONCAT', 'CONCAT(', 'text1', ', text2)'),
('Strings', 'UPPER', 'UPPER(', 'text', ')'),
('Strings', 'LOWER', 'LOWER(', 'text', ')'),
('Strings', 'TRIM', 'TRIM(', 'text', ')'),
('Strings', 'SUBSTRING', 'SUBSTRING(', 'text', ', 1, 10)'),
('Strings', 'REPLACE', 'REPLACE(', 'text', ', ''from'', ''to'')'),
('Window', 'ROW_NUMBER', 'ROW_NUMBER() OVER (ORDER BY ', 'column_name', ')'),
('Window', 'OVER PARTITION BY', 'OVER (PARTITION BY ', 'column_name', ' ORDER BY column_name)'),
('Window', 'LAG', 'LAG(', 'column_name', ') OVER (ORDER BY column_name)'),
('Window', 'Running SUM', 'SUM(', 'column_name', ') OVER (ORDER BY column_name ROWS UNBOUNDED PRECEDING)');

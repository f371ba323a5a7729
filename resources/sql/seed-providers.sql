-- Provider kinds of the resource database: how the object browser lays out a
-- connection of each DBMS (1 several catalogues, 2 one database).
INSERT INTO providers (provider_name, returnvalue) VALUES
('SQLite', '2'),
('PostgreSQL', '1'),
('MariaDB', '1'),
('MySQL', '1'),
('Microsoft SQL Server', '1');

-- The demo database: a small shop with customers, products, orders and the
-- people who handle them. Rows are generated deterministically so every new
-- copy holds the same data.
PRAGMA foreign_keys = ON;
BEGIN;

CREATE TABLE categories (
    id          INTEGER PRIMARY KEY,
    name        VARCHAR(40) NOT NULL,
    description TEXT
);

CREATE TABLE employees (
    id         INTEGER PRIMARY KEY,
    first_name VARCHAR(30) NOT NULL,
    last_name  VARCHAR(30) NOT NULL,
    title      VARCHAR(40),
    manager_id INTEGER REFERENCES employees(id),
    hired_on   DATE NOT NULL
);

CREATE TABLE customers (
    id      INTEGER PRIMARY KEY,
    name    VARCHAR(60) NOT NULL,
    city    VARCHAR(40) NOT NULL,
    country VARCHAR(40) NOT NULL,
    email   VARCHAR(80),
    joined  DATE NOT NULL
);

CREATE TABLE products (
    id          INTEGER PRIMARY KEY,
    category_id INTEGER NOT NULL REFERENCES categories(id),
    name        VARCHAR(60) NOT NULL,
    price       DECIMAL(10,2) NOT NULL,
    in_stock    INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE orders (
    id          INTEGER PRIMARY KEY,
    customer_id INTEGER NOT NULL REFERENCES customers(id),
    employee_id INTEGER REFERENCES employees(id),
    ordered_on  DATE NOT NULL,
    shipped_on  DATE,
    status      VARCHAR(12) NOT NULL
);

CREATE TABLE order_items (
    order_id   INTEGER NOT NULL REFERENCES orders(id),
    product_id INTEGER NOT NULL REFERENCES products(id),
    quantity   INTEGER NOT NULL,
    unit_price DECIMAL(10,2) NOT NULL,
    PRIMARY KEY (order_id, product_id)
);

INSERT INTO categories (id, name, description) VALUES
(1, 'Beverages', 'Coffee, tea, juices and soft drinks'),
(2, 'Bakery', 'Bread, pastries and cakes'),
(3, 'Dairy', 'Milk, cheese and yoghurt'),
(4, 'Produce', 'Fresh fruit and vegetables'),
(5, 'Pantry', 'Pasta, rice, oils and preserves'),
(6, 'Household', NULL);

INSERT INTO employees (id, first_name, last_name, title, manager_id, hired_on) VALUES
(1, 'Marta', 'Oliveira', 'Sales Director', NULL, '2015-03-02'),
(2, 'Jonas', 'Becker', 'Sales Manager', 1, '2016-07-18'),
(3, 'Aiko', 'Tanaka', 'Sales Representative', 2, '2018-01-08'),
(4, 'Lucas', 'Moreau', 'Sales Representative', 2, '2019-09-23'),
(5, 'Priya', 'Nair', 'Sales Representative', 2, '2021-04-12'),
(6, 'Tomás', 'Ruiz', 'Support', 1, '2022-11-01');

WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400),
first(k, v) AS (VALUES (0,'Anna'),(1,'Ben'),(2,'Clara'),(3,'David'),(4,'Elif'),(5,'Farid'),(6,'Greta'),
                       (7,'Hugo'),(8,'Ines'),(9,'Jakub'),(10,'Kemal'),(11,'Lena'),(12,'Mateo'),(13,'Nora')),
last(k, v) AS (VALUES (0,'Andersen'),(1,'Brown'),(2,'Costa'),(3,'Dubois'),(4,'Eriksen'),(5,'Fischer'),
                      (6,'García'),(7,'Horvat'),(8,'Ivanova'),(9,'Jensen'),(10,'Kowalski'),(11,'Lindqvist')),
city(k, c, country) AS (VALUES (0,'Lisbon','Portugal'),(1,'Berlin','Germany'),(2,'Lyon','France'),
                              (3,'Oslo','Norway'),(4,'Kraków','Poland'),(5,'Madrid','Spain'),(6,'Dublin','Ireland'),
                              (7,'Turin','Italy'),(8,'Ghent','Belgium'),(9,'Tampere','Finland'))
INSERT INTO customers (id, name, city, country, email, joined)
SELECT i,
       (SELECT v FROM first WHERE k = i % 14) || ' ' || (SELECT v FROM last WHERE k = (i * 7) % 12),
       (SELECT c FROM city WHERE k = (i * 3) % 10),
       (SELECT country FROM city WHERE k = (i * 3) % 10),
       CASE WHEN i % 37 = 0 THEN NULL
            ELSE lower((SELECT v FROM first WHERE k = i % 14)) || '.' || i || '@example.com' END,
       date('2019-01-01', '+' || ((i * 113) % 1800) || ' days')
FROM n;

WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60),
adj(k, v) AS (VALUES (0,'Organic'),(1,'Classic'),(2,'Premium'),(3,'Family'),(4,'Light'),(5,'Rustic')),
noun(c, k, v) AS (VALUES (1,0,'Coffee'),(1,1,'Green Tea'),(1,2,'Orange Juice'),(1,3,'Lemonade'),
                         (2,0,'Sourdough'),(2,1,'Croissant'),(2,2,'Rye Bread'),(2,3,'Carrot Cake'),
                         (3,0,'Milk'),(3,1,'Gouda'),(3,2,'Yoghurt'),(3,3,'Butter'),
                         (4,0,'Apples'),(4,1,'Tomatoes'),(4,2,'Spinach'),(4,3,'Lemons'),
                         (5,0,'Spaghetti'),(5,1,'Basmati Rice'),(5,2,'Olive Oil'),(5,3,'Strawberry Jam'),
                         (6,0,'Dish Soap'),(6,1,'Paper Towels'),(6,2,'Candles'),(6,3,'Sponges'))
INSERT INTO products (id, category_id, name, price, in_stock)
SELECT i, (i % 6) + 1,
       (SELECT v FROM adj WHERE k = (i / 6) % 6) || ' ' || (SELECT v FROM noun WHERE c = (i % 6) + 1 AND k = (i / 4) % 4),
       round(1.5 + ((i * 37) % 180) / 10.0, 2),
       (i * 13) % 250
FROM n;

WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2500)
INSERT INTO orders (id, customer_id, employee_id, ordered_on, shipped_on, status)
SELECT i, ((i * 7919) % 400) + 1,
       CASE WHEN i % 41 = 0 THEN NULL ELSE ((i * 3) % 5) + 1 END,
       date('2023-01-01', '+' || ((i * 3) % 700) || ' days'),
       CASE WHEN i % 9 = 0 THEN NULL ELSE date('2023-01-01', '+' || ((i * 3) % 700 + 1 + i % 5) || ' days') END,
       CASE WHEN i % 9 = 0 THEN 'open' WHEN i % 53 = 0 THEN 'cancelled' ELSE 'shipped' END
FROM n;

WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2500),
line(j) AS (VALUES (0),(1),(2))
INSERT INTO order_items (order_id, product_id, quantity, unit_price)
SELECT n.i, ((n.i * 17 + line.j * 23) % 60) + 1, 1 + (n.i + line.j) % 6,
       (SELECT price FROM products WHERE id = ((n.i * 17 + line.j * 23) % 60) + 1)
FROM n JOIN line ON line.j <= n.i % 3;

CREATE VIEW order_totals AS
SELECT o.id AS order_id, c.name AS customer, o.ordered_on, o.status,
       count(*) AS lines, round(sum(i.quantity * i.unit_price), 2) AS total
FROM orders o
JOIN customers c ON c.id = o.customer_id
JOIN order_items i ON i.order_id = o.id
GROUP BY o.id, c.name, o.ordered_on, o.status;

CREATE INDEX ix_orders_customer ON orders (customer_id);
CREATE INDEX ix_order_items_product ON order_items (product_id);

COMMIT;

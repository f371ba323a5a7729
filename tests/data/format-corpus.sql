--! Statements the SQL formatter lays out (tests/unit/SqlFormatterTest.cpp): formatting one
--! must keep its tokens and give the same text when done again. An entry ends at a "--@@"
--! line; "--@@ mysql" ends one written for MariaDB. These "--!" lines are not an entry.
select * from orders
--@@
SELECT o.id, o.amount, c.name FROM sales.orders o JOIN public.customers c ON c.id = o.customer WHERE o.amount > 100 ORDER BY o.amount DESC
--@@
select count(*) from orders where note is not null and note <> '' group by customer having count(*) > 2
--@@
with recent as (select id, customer, amount from orders where created >= current_date - interval '30 days'), big as (select * from recent where amount > 1000) select r.customer, sum(r.amount) total, count(b.id) as big_ones from recent r left join big b on b.id = r.id group by r.customer
--@@
SELECT CASE WHEN amount > 1000 THEN 'large' WHEN amount > 100 THEN 'medium' ELSE 'small' END AS size, CASE status WHEN 1 THEN 'open' WHEN 2 THEN 'closed' END FROM orders
--@@
select id from orders where customer in (select id from customers where country in ('DE','FR','IT') and active) and exists (select 1 from items i where i.order_id = orders.id and i.qty > 0)
--@@
insert into orders (id, customer, amount, note) values (1, 10, 99.50, 'first'), (2, 11, 12.00, NULL), (3, 12, 0, 'it''s free')
--@@
INSERT INTO archive SELECT * FROM orders WHERE created < '2020-01-01'
--@@
update orders set amount = amount * 1.19, note = coalesce(note, '') || ' (taxed)' where id between 10 and 20
--@@
UPDATE o SET o.note = c.name FROM orders o INNER JOIN customers c ON c.id = o.customer WHERE c.vip = 1
--@@
delete from orders where customer not in (select id from customers)
--@@
DELETE FROM items USING orders WHERE items.order_id = orders.id AND orders.cancelled
--@@
-- monthly revenue
SELECT date_trunc('month', created) AS month, -- the month
       sum(amount) AS revenue /* gross */
FROM orders
GROUP BY 1
ORDER BY 1
--@@
/* header comment
   spanning lines */
SELECT 1
--@@
SELECT a, b, c -- trailing comment
FROM t -- another
WHERE a = 1 -- and one more
--@@
select row_number() over (partition by customer order by created desc) rn, lag(amount) over w prev from orders window w as (order by created)
--@@
SELECT customer, percentile_cont(0.5) WITHIN GROUP (ORDER BY amount) FROM orders GROUP BY customer
--@@
select x::int, y::text[], data->>'name', data #> '{a,b}', tags @> array['x'], a || b from t
--@@
SELECT E'line\nbreak', E'it\'s', U&'\0041', B'1010', X'FF', N'unicode' FROM t
--@@
SELECT 'first'
'second' AS joined
--@@
select $1, $2::int from t where a = $3
--@@
CREATE FUNCTION add_one(i int) RETURNS int AS $$
BEGIN
    RETURN i + 1; -- keep;  these   spaces
END;
$$ LANGUAGE plpgsql
--@@
CREATE OR REPLACE FUNCTION t_touch() RETURNS trigger AS $body$ BEGIN NEW.updated := now(); RETURN NEW; END $body$ LANGUAGE plpgsql
--@@
DO $$ BEGIN RAISE NOTICE 'hello; world'; END $$
--@@
create table orders (id serial primary key, customer int not null references customers(id) on delete cascade, amount numeric(12,2) default 0 check (amount >= 0), note text, created timestamptz default now())
--@@
CREATE TABLE "Odd Table's" ("Mixed Case" int, "select" text, "emoji 🎉" text)
--@@
create index concurrently orders_customer on orders (customer) where amount > 0
--@@
alter table orders add column shipped boolean default false, alter column note set default ''
--@@
ALTER TABLE orders RENAME COLUMN note TO remark
--@@
drop table if exists tmp_orders cascade
--@@
create view big_orders as select * from orders where amount > 1000
--@@
CREATE MATERIALIZED VIEW monthly AS SELECT date_trunc('month', created) m, sum(amount) s FROM orders GROUP BY 1 WITH DATA
--@@
insert into counters (k, v) values ('a', 1) on conflict (k) do update set v = counters.v + excluded.v
--@@
INSERT INTO counters (k, v) VALUES ('a', 1) ON CONFLICT DO NOTHING RETURNING k, v
--@@
select * from orders order by created desc limit 10 offset 20
--@@
SELECT * FROM orders ORDER BY id OFFSET 10 ROWS FETCH NEXT 5 ROWS ONLY
--@@
select distinct on (customer) customer, created from orders order by customer, created desc
--@@
select a from t1 union select a from t2 union all select a from t3 except select a from t4
--@@
(select 1) union (select 2)
--@@
SELECT * FROM a NATURAL JOIN b CROSS JOIN c LEFT OUTER JOIN d ON d.x = a.x RIGHT JOIN e USING (y) FULL OUTER JOIN f ON true
--@@
select * from a, lateral (select * from b where b.a = a.id limit 1) x
--@@
SELECT * FROM generate_series(1, 10) AS g(n) WHERE n % 2 = 0
--@@
select extract(year from created), substring(note from 2 for 3), trim(both ' ' from note), position('x' in note) from orders
--@@
select cast(amount as integer), cast(note as varchar(20)) as short_note from orders
--@@
SELECT count(*) FILTER (WHERE amount > 10) AS many FROM orders
--@@
SELECT a IS DISTINCT FROM b, c IS NOT DISTINCT FROM d FROM t
--@@
select * from t where a like 'x%' escape '\' and b ilike '%y' and c similar to 'z' and d ~ '^[a-z]+$'
--@@
select greatest(a, b, c), least(1, 2), nullif(a, 0), coalesce(a, b, 0) from t
--@@
SELECT a FROM t WHERE b = ANY (ARRAY[1, 2, 3]) AND c <> ALL (SELECT d FROM u)
--@@
with recursive tree (id, parent, depth) as (select id, parent, 0 from nodes where parent is null union all select n.id, n.parent, t.depth + 1 from nodes n join tree t on n.parent = t.id) select * from tree order by depth
--@@
SELECT * FROM orders o WHERE o.amount > (SELECT avg(amount) FROM orders i WHERE i.customer = o.customer)
--@@
select (select max(amount) from orders) - (select min(amount) from orders) as spread
--@@
SELECT coalesce((SELECT name FROM customers c WHERE c.id = o.customer), 'unknown') FROM orders o
--@@
select json_build_object('id', id, 'lines', (select json_agg(l) from lines l where l.order_id = o.id)) from orders o
--@@
SELECT `id`, `select`, `weird``name` FROM `my db`.`orders` WHERE `note` LIKE 'x\'y' # mysql comment
--@@ mysql
select * from orders where note = "double quoted string" and a = 'back\\slash'
--@@ mysql
INSERT INTO t (a, b) VALUES (1, 2) ON DUPLICATE KEY UPDATE b = VALUES(b), a = a + 1
--@@ mysql
REPLACE INTO t (a) VALUES (1)
--@@ mysql
SELECT SQL_CALC_FOUND_ROWS * FROM t LIMIT 10; SELECT FOUND_ROWS()
--@@ mysql
CREATE PROCEDURE fill(n INT)
BEGIN
  DECLARE i INT DEFAULT 0;
  WHILE i < n DO
    INSERT INTO t VALUES (i);
    SET i = i + 1;
  END WHILE;
END
--@@ mysql
BEGIN NOT ATOMIC
  DECLARE x INT DEFAULT 1;
  IF x > 0 THEN SELECT 'positive'; ELSE SELECT 'other'; END IF;
END
--@@ mysql
SELECT a -- needs a blank in mysql
FROM t
--@@ mysql
select 1--2
--@@ mysql
SELECT TOP 10 [id], [Odd]]Name], [select] FROM [dbo].[orders] WITH (NOLOCK) WHERE [note] = N'x'
--@@
SELECT TOP (5) PERCENT WITH TIES id FROM dbo.orders ORDER BY amount DESC
--@@
DECLARE @total money; SELECT @total = sum(amount) FROM orders; PRINT @total
--@@
UPDATE orders SET note = 'x'
GO
SELECT * FROM orders
GO 2
--@@
CREATE PROCEDURE dbo.pay @id int AS
BEGIN
  SET NOCOUNT ON;
  BEGIN TRY
    BEGIN TRAN;
    UPDATE a SET v = CASE WHEN v > 0 THEN v - 1 ELSE 0 END WHERE id = @id;
    COMMIT;
  END TRY
  BEGIN CATCH
    ROLLBACK;
  END CATCH
END
--@@
MERGE INTO target t USING source s ON t.id = s.id WHEN MATCHED THEN UPDATE SET t.v = s.v WHEN NOT MATCHED THEN INSERT (id, v) VALUES (s.id, s.v);
--@@
SELECT * FROM a CROSS APPLY (SELECT TOP 1 * FROM b WHERE b.a = a.id) x OUTER APPLY f(a.id) y
--@@
select 1;select 2;;select 3
--@@
SELECT 1; -- one
SELECT 2; /* two */
--@@
begin; update t set a = 1; commit;
--@@
BEGIN TRANSACTION; DELETE FROM t; ROLLBACK TRANSACTION;
--@@
explain analyze select * from orders where id = 1
--@@
select * from "Mixed Case" mc join "Odd Table's" o on o."Mixed Case" = mc.id where mc."select" = 'x'
--@@
SELECT "emoji 🎉", 'text with 🎉 and ünïcödé' FROM "Odd Table's"
--@@
select a+b*c-d/e%f, -a, +b, ~c, a<<2, a>>1, a&b, a|b, a^b, not a, a!=b, a<>b, a<=b, a>=b from t
--@@
select a - -1, b- - 2, c/ *d from t
--@@
SELECT 1.5e10, .5, 0x1F, 1e-3 FROM t
--@@
select
  a,

  b

from

  t
--@@
SELECT       a    ,b,c    FROM    t     WHERE   a=1
--@@
select count(distinct customer), count(*) as n, avg(amount)::numeric(10, 2) from orders
--@@
select * from t where (a = 1 or b = 2) and (c = 3 or (d = 4 and e = 5))
--@@
SELECT a FROM t WHERE a BETWEEN 1 AND 10 AND b NOT BETWEEN 2 AND 3 OR c = 4
--@@
SELECT CASE WHEN a = 1 THEN CASE WHEN b = 2 THEN 'x' ELSE 'y' END ELSE 'z' END FROM t
--@@
select * from t where a = case when b then 1 else 2 end and c is null
--@@
SELECT id FROM orders FOR UPDATE SKIP LOCKED
--@@
TRUNCATE TABLE orders RESTART IDENTITY
--@@
grant select, insert on orders to reporting
--@@
comment on table orders is 'All the orders; really'
--@@
create trigger t_touch before update on orders for each row execute function t_touch()
--@@
CREATE TRIGGER log_it AFTER INSERT OR UPDATE OR DELETE ON orders FOR EACH ROW EXECUTE PROCEDURE log_change()
--@@
vacuum analyze orders
--@@
set search_path to sales, public
--@@
SET @a = 1, @b = 'x'
--@@ mysql
show tables
--@@ mysql
select * from t where a in (1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30)
--@@
select aaaaaaaaaaaaaaaaaaaa, bbbbbbbbbbbbbbbbbbbbbbbbb, cccccccccccccccccccccccc, dddddddddddddddddddddddd, eeeeeeeeeeeeee from t
--@@
select function_with_a_long_name(argument_number_one, argument_number_two, argument_number_three, argument_number_four) from t
--@@
SELECT * FROM orders WHERE customer_identifier = 12345 AND amount_in_euros > 1000 AND note_text_field LIKE '%urgent%' AND created > now()
--@@
values (1, 'a'), (2, 'b')
--@@
select * from (values (1, 'a'), (2, 'b')) as v (n, s)
--@@
SELECT 1 AS "from", 2 AS [where], 3 AS `order`
--@@
select t.from, t.select, t.order from t
--@@
SELECT a AS Year, b AS Total FROM t
--@@
select * from old join new on old.id = new.id
--@@
SELECT * FROM t -- comment at the end
--@@
SELECT * FROM t /* inline */ WHERE /* also */ a = 1
--@@
select 'a;b', "c;d", $$e;f$$, $tag$g;h$tag$ from t
--@@
select 'unterminated
--@@
select /* unterminated comment
--@@
SELECT 1 FROM t WHERE a = 'x'
  -- comment between clauses
  AND b = 2
--@@
select a,
       -- why b
       b
from t
--@@
SELECT
    id, -- the key
    amount -- the money
FROM orders
--@@
LOCK TABLE orders IN ACCESS EXCLUSIVE MODE
--@@
PREPARE q (int) AS SELECT * FROM orders WHERE id = $1; EXECUTE q(1)
--@@
COPY orders (id, amount) FROM STDIN WITH (FORMAT csv)
--@@
SELECT array_agg(x ORDER BY y DESC NULLS LAST) FROM t
--@@
select string_agg(name, ', ' order by name) from customers
--@@
select * from t tablesample system (10)
--@@
SELECT a FROM t GROUP BY ROLLUP (a, b), CUBE (c), GROUPING SETS ((a), (b))
--@@
select * from t1 join t2 on t1.a = t2.a and t1.b = t2.b left join t3 on t3.c = t2.c and t3.d in (1, 2)
--@@
SELECT * FROM t WHERE a IN (SELECT b FROM u WHERE c IN (SELECT d FROM v WHERE e IN (SELECT f FROM w)))
--@@
select i.order_id, i.price, i.qty, i.product from items i WHERE coalesce(i.order_id, 0) <> 0
--@@
select so.note, o.id from sales.orders so LEFT OUTER JOIN orders o ON o.id = so.id where so.id BETWEEN 5 AND 15 AND o.id IN (1, 4, 8, 9, 7)
--@@
select m.value, count(*) AS n, sum(m.value) total FROM "Mixed Case" m GROUP BY m.value having count(*) > 9 ORDER BY n desc
--@@
SELECT * FROM customers c WHERE c.id in (SELECT m.id FROM "Mixed Case" m WHERE m.value IS NOT NULL)
--@@
with x AS (SELECT so.id, so.note FROM sales.orders so where so.id BETWEEN 4 AND 11) select * from x
--@@
INSERT INTO customers (id, name, country, vip) VALUES ('v7', 269, NULL, NULL), (975, now(), now(), now())
--@@
UPDATE customers SET id = id + 1 WHERE id = 10
--@@
DELETE FROM "Mixed Case" WHERE "Odd Col" IN (3, 9, 1, 4, 9, 6)
--@@
select o.amount,
  CASE WHEN o.created > 169 then 'a' else 'b' end AS kind -- note 8
FROM orders o
order by 1 LIMIT 93
--@@
/* report 9 */ SELECT i.product FROM items i WHERE i.order_id = (SELECT max(i.order_id) from items i) OR coalesce(i.qty, 0) <> 0
--@@
SELECT p.stock, p.price, p.id, p.title FROM products p WHERE p.stock BETWEEN 1 AND 18
--@@
select p.stock, p.id, o.id FROM products p INNER JOIN orders o on o.id = p.id where p.price IN (1, 6) and o.created = 54
--@@
select c.id, count(*) as n, sum(c.vip) total from customers c GROUP BY c.id having count(*) > 5 ORDER BY n DESC
--@@
SELECT * from "Mixed Case" m where m.id in (select so.id FROM sales.orders so where so.amount LIKE '%y%')
--@@
WITH x AS (select m.value from "Mixed Case" m where m.id BETWEEN 4 AND 9) select * FROM x
--@@
INSERT INTO "Mixed Case" (id, "Odd Col", value) values ('v6', 365, 739), (now(), now(), NULL), (524, 940, NULL), (NULL, now(), now())
--@@
update sales.orders SET note = 'z' WHERE id = 34
--@@
delete from items WHERE coalesce(order_id, 0) <> 0
--@@
SELECT c.country,
  CASE when c.name > 244 then 'a' else 'b' END as kind -- note 18
from customers c
order by 1 LIMIT 45
--@@
/* report 19 */ select o.id from orders o WHERE o.id = (SELECT max(c.id) FROM customers c) or o.amount > 125
--@@
select m."Odd Col", m.value from "Mixed Case" m WHERE m."Odd Col" LIKE '%y%'
--@@
select i.product, i.qty, so.id FROM items i JOIN sales.orders so on so.id = i.order_id WHERE i.qty BETWEEN 2 AND 16 and so.note BETWEEN 4 AND 17
--@@
SELECT so.id, count(*) AS n, sum(so.note) total from sales.orders so group by so.id having count(*) > 4 ORDER BY n DESC
--@@
SELECT * FROM orders o WHERE o.id in (SELECT p.id from products p where p.stock BETWEEN 3 AND 16)
--@@
WITH x AS (select p.id, p.title from products p where p.price = 91) select * FROM x
--@@
INSERT INTO "Mixed Case" (id, "Odd Col", value) values (938, 'v1', NULL), ('v5', NULL, NULL)
--@@
UPDATE "Mixed Case" SET "Odd Col" = 'z' WHERE "Odd Col" LIKE '%its%'
--@@
DELETE FROM orders WHERE note BETWEEN 1 AND 19
--@@
select i.price,
  CASE WHEN coalesce(i.price, 0) <> 0 THEN 'a' else 'b' END as kind -- note 28
from items i
ORDER BY 1 LIMIT 37
--@@
/* report 29 */ SELECT i.price, i.qty, i.order_id from items i WHERE i.order_id = (SELECT max(i.order_id) FROM items i) or i.price IS NOT NULL
--@@
SELECT o.created, o.id, o.customer FROM orders o where coalesce(o.id, 0) <> 0
--@@
select o.created, o.amount, o.id, m.id from orders o LEFT JOIN "Mixed Case" m on m.id = o.id WHERE o.note BETWEEN 1 AND 12 and m."Odd Col" LIKE '%x%'
--@@
SELECT m.id, count(*) AS n, sum(m.value) total from "Mixed Case" m group by m.id having count(*) > 1 ORDER BY n DESC
--@@
select * from sales.orders so WHERE so.id in (SELECT o.id FROM orders o where o.customer BETWEEN 3 AND 11)
--@@
with x as (SELECT c.name, c.id FROM customers c WHERE c.vip BETWEEN 4 AND 11) SELECT * FROM x
--@@
insert into items (order_id, product, qty, price) values (NULL, 'v3', NULL, 778), (now(), 'v2', 496, 'v9'), (944, 'v0', 425, now()), (919, NULL, now(), now())
--@@
UPDATE "Mixed Case" set "Odd Col" = 'z' where id LIKE '%its%'
--@@
DELETE FROM customers where vip IN (2, 1, 5, 4)
--@@
select i.qty,
  case when i.qty BETWEEN 1 AND 13 then 'a' else 'b' END AS kind -- note 38
FROM items i
ORDER BY 1 limit 24
--@@
/* report 39 */ select o.customer, o.created, o.note FROM orders o where o.id = (select max(p.id) FROM products p) OR o.note = 9
--@@
select o.id, o.customer, o.created, o.note, o.amount from orders o WHERE o.customer BETWEEN 3 AND 10
--@@
SELECT i.product, i.order_id, i.qty, i.price, c.id from items i LEFT JOIN customers c ON c.id = i.order_id where i.product > 414 AND coalesce(c.country, 0) <> 0
--@@
SELECT c.name, count(*) AS n, sum(c.vip) total FROM customers c group by c.name having count(*) > 6 ORDER BY n DESC
--@@
SELECT * FROM sales.orders so WHERE so.id IN (select i.order_id from items i WHERE i.order_id IN (5, 7, 5, 5, 7, 1))
--@@
with x AS (SELECT i.order_id, i.product, i.price, i.qty from items i WHERE i.order_id BETWEEN 5 AND 8) select * FROM x
--@@
INSERT INTO sales.orders (id, amount, note) values ('v4', 533, now()), (NULL, now(), now())
--@@
update products SET stock = 9, id = 'z' WHERE coalesce(title, 0) <> 0
--@@
DELETE FROM items WHERE price LIKE '%50%%'
--@@
SELECT so.amount,
  CASE WHEN so.id BETWEEN 1 AND 20 THEN 'a' else 'b' END as kind -- note 48
from sales.orders so
order by 1 limit 4
--@@
/* report 49 */ SELECT o.customer from orders o WHERE o.id = (select max(so.id) from sales.orders so) or o.customer IN (5, 3, 6, 5, 8)
--@@
SELECT m."Odd Col", m.id, m.value FROM "Mixed Case" m WHERE coalesce(m.value, 0) <> 0
--@@
select i.qty, m.id from items i left outer join "Mixed Case" m ON m.id = i.order_id WHERE i.qty BETWEEN 2 AND 15 and m."Odd Col" LIKE '%its%'
--@@
SELECT m."Odd Col", count(*) AS n, sum(m.value) total FROM "Mixed Case" m GROUP BY m."Odd Col" HAVING count(*) > 5 order by n DESC
--@@
SELECT * from sales.orders so where so.id IN (SELECT m.id FROM "Mixed Case" m where m."Odd Col" > 416)
--@@
WITH x AS (SELECT so.amount, so.note, so.id FROM sales.orders so WHERE so.id LIKE '%x%') SELECT * from x
--@@
INSERT INTO sales.orders (id, amount, note) values (now(), 732, now())
--@@
UPDATE customers set id = id + 1, vip = vip + 1 where country > 329
--@@
delete from customers WHERE vip = 43
--@@
select m."Odd Col",
  CASE when m.value IS NOT NULL THEN 'a' ELSE 'b' END AS kind -- note 58
from "Mixed Case" m
order by 1 limit 95
--@@
/* report 59 */ SELECT o.amount, o.customer, o.created, o.id, o.note FROM orders o WHERE o.id = (SELECT max(o.id) from orders o) or o.amount > 52
--@@
SELECT m."Odd Col" FROM "Mixed Case" m where coalesce(m."Odd Col", 0) <> 0
--@@
select o.id, o.customer, o.amount, o.created, i.order_id FROM orders o LEFT OUTER JOIN items i ON i.order_id = o.id where o.id IN (8) AND i.qty BETWEEN 2 AND 7
--@@
select o.note, count(*) AS n, sum(o.created) total FROM orders o GROUP BY o.note HAVING count(*) > 3 ORDER BY n desc
--@@
select * from customers c where c.id IN (select m.id FROM "Mixed Case" m WHERE m.value IS NOT NULL)
--@@
with x as (SELECT i.product, i.order_id FROM items i where i.qty > 53) SELECT * from x
--@@
insert into orders (id, customer, amount, note, created) values (now(), NULL, 'v0', now(), now())
--@@
update products set id = 'z', title = title + 1 WHERE coalesce(stock, 0) <> 0
--@@
delete from "Mixed Case" WHERE "Odd Col" IN (4, 3, 4, 9, 6)
--@@
select m."Odd Col",
  case when m.value = 44 then 'a' else 'b' end AS kind -- note 68
FROM "Mixed Case" m
ORDER BY 1 LIMIT 54
--@@
/* report 69 */ SELECT p.price, p.id, p.stock FROM products p where p.id = (select max(p.id) from products p) OR p.title > 476
--@@
SELECT so.amount from sales.orders so WHERE so.amount LIKE '%50%%'
--@@
SELECT m.value, m.id, m."Odd Col", m.id FROM "Mixed Case" m LEFT OUTER JOIN "Mixed Case" m on m.id = m.id where m.id IN (1, 1, 4, 2, 5, 5) AND m.id IN (3, 4, 7)
--@@
SELECT p.title, count(*) AS n, sum(p.stock) total from products p GROUP BY p.title HAVING count(*) > 3 ORDER BY n desc
--@@
SELECT * FROM "Mixed Case" m where m.id in (SELECT m.id from "Mixed Case" m WHERE m.value > 341)
--@@
with x as (select p.id FROM products p where p.stock IS NOT NULL) SELECT * from x
--@@
insert into items (order_id, product, qty, price) values (257, NULL, now(), NULL), (NULL, now(), NULL, NULL), (130, now(), now(), 558), (408, 'v0', 841, now())
--@@
update products set stock = 2 WHERE id > 7
--@@
DELETE FROM customers where id LIKE '%x%'
--@@
select m."Odd Col",
  case when m.id = 61 THEN 'a' else 'b' end as kind -- note 78
FROM "Mixed Case" m
ORDER BY 1 LIMIT 36
--@@
/* report 79 */ select p.stock, p.price from products p WHERE p.id = (select max(so.id) FROM sales.orders so) or p.price BETWEEN 1 AND 6
--@@
SELECT p.stock from products p WHERE p.stock = 78
--@@
SELECT i.price, i.product, p.id from items i inner join products p on p.id = i.order_id WHERE i.order_id BETWEEN 4 AND 12 AND coalesce(p.title, 0) <> 0
--@@
select o.amount, count(*) as n, sum(o.created) total FROM orders o group by o.amount having count(*) > 7 ORDER BY n desc
--@@
SELECT * FROM customers c WHERE c.id in (select i.order_id FROM items i WHERE i.qty IN (9, 5, 9, 6))
--@@
WITH x as (SELECT c.name, c.id from customers c WHERE c.name > 23) select * FROM x
--@@
INSERT INTO sales.orders (id, amount, note) VALUES (now(), 'v9', now())
--@@
UPDATE sales.orders SET amount = 3 WHERE amount = 91
--@@
delete from items WHERE product = 48
--@@
select o.id,
  case WHEN o.created LIKE '%x%' THEN 'a' ELSE 'b' end as kind -- note 88
from orders o
ORDER BY 1 limit 5
--@@
/* report 89 */ select c.country FROM customers c WHERE c.id = (SELECT max(c.id) from customers c) or c.vip = 44
--@@
SELECT c.name, c.vip, c.id, c.country FROM customers c WHERE c.country LIKE '%y%'
--@@
SELECT o.id, o.customer, o.amount, o.note, o.created, c.id from orders o INNER JOIN customers c ON c.id = o.id WHERE coalesce(o.customer, 0) <> 0 and c.name LIKE '%its%'
--@@
select c.name, count(*) AS n, sum(c.vip) total from customers c GROUP BY c.name HAVING count(*) > 4 order by n DESC
--@@
SELECT * from orders o where o.id IN (SELECT p.id from products p WHERE p.price IN (3))
--@@
with x as (SELECT o.note, o.id, o.created, o.customer, o.amount from orders o WHERE o.id IS NOT NULL) select * FROM x
--@@
insert into customers (id, name, country, vip) VALUES (568, NULL, now(), now()), (105, 734, now(), NULL), (112, 'v2', 'v3', now())
--@@
update orders SET amount = amount + 1, note = note + 1, id = 'z' where amount IS NOT NULL
--@@
DELETE FROM sales.orders where amount BETWEEN 5 AND 10
--@@
SELECT so.note,
  CASE WHEN so.id IN (1) then 'a' ELSE 'b' end as kind -- note 98
FROM sales.orders so
order by 1 limit 53
--@@
/* report 99 */ select so.id, so.note FROM sales.orders so WHERE so.id = (select max(i.order_id) FROM items i) or so.amount IS NOT NULL
--@@
SELECT so.note, so.amount FROM sales.orders so where so.id = 42
--@@
SELECT c.country, so.id FROM customers c left outer join sales.orders so ON so.id = c.id where coalesce(c.name, 0) <> 0 AND coalesce(so.note, 0) <> 0
--@@
select so.amount, count(*) AS n, sum(so.note) total from sales.orders so group by so.amount HAVING count(*) > 8 ORDER BY n DESC
--@@
SELECT * FROM items i WHERE i.order_id IN (select m.id from "Mixed Case" m WHERE m."Odd Col" > 497)
--@@
with x as (select so.note, so.amount from sales.orders so where so.amount LIKE '%x%') SELECT * FROM x
--@@
INSERT INTO sales.orders (id, amount, note) values (now(), NULL, 708), (NULL, NULL, 524), (NULL, now(), NULL), ('v8', now(), 186)
--@@
update products SET id = id + 1 WHERE id > 8
--@@
delete from products WHERE id LIKE '%x%'
--@@
SELECT o.amount,
  CASE WHEN o.id IS NOT NULL then 'a' else 'b' end AS kind -- note 108
from orders o
ORDER BY 1 LIMIT 76
--@@
/* report 109 */ SELECT c.vip from customers c where c.id = (SELECT max(i.order_id) FROM items i) OR c.name IS NOT NULL
--@@
select o.created, o.amount, o.id, o.customer FROM orders o WHERE o.id LIKE '%its%'
--@@
select o.amount, i.order_id FROM orders o LEFT JOIN items i ON i.order_id = o.id where o.customer BETWEEN 3 AND 9 AND i.product LIKE '%50%%'
--@@
select so.id, count(*) as n, sum(so.note) total FROM sales.orders so group by so.id HAVING count(*) > 3 ORDER BY n DESC
--@@
SELECT * from orders o WHERE o.id in (select p.id from products p WHERE coalesce(p.price, 0) <> 0)
--@@
WITH x as (select m.id, m."Odd Col", m.value FROM "Mixed Case" m WHERE m.value > 359) SELECT * from x
--@@
insert into products (id, title, price, stock) values (now(), 'v4', NULL, 'v2')
--@@
UPDATE items set order_id = order_id + 1 WHERE qty LIKE '%x%'
--@@
delete from "Mixed Case" WHERE value IS NOT NULL
--@@
SELECT p.price,
  CASE when p.title BETWEEN 2 AND 20 THEN 'a' ELSE 'b' end AS kind -- note 118
from products p
ORDER BY 1 limit 71
--@@
/* report 119 */ select m.value, m.id, m."Odd Col" FROM "Mixed Case" m WHERE m.id = (select max(c.id) FROM customers c) OR m."Odd Col" > 101
--@@
SELECT i.order_id from items i where i.order_id = 96
--@@
SELECT i.qty, i.price, i.order_id, o.id from items i join orders o on o.id = i.order_id WHERE i.product LIKE '%y%' AND o.amount = 41
--@@
select o.note, count(*) as n, sum(o.created) total FROM orders o GROUP BY o.note HAVING count(*) > 7 ORDER BY n DESC
--@@
select * FROM "Mixed Case" m where m.id in (select m.id FROM "Mixed Case" m WHERE m.value BETWEEN 2 AND 20)
--@@
with x AS (select c.id, c.name, c.country from customers c WHERE c.name > 493) select * FROM x
--@@
INSERT INTO items (order_id, product, qty, price) VALUES ('v3', 694, NULL, now())
--@@
UPDATE "Mixed Case" set id = id + 1 WHERE id = 25
--@@
delete from products where title LIKE '%x%'
--@@
SELECT o.customer,
  CASE when o.customer BETWEEN 2 AND 11 then 'a' else 'b' end AS kind -- note 128
FROM orders o
ORDER BY 1 limit 68
--@@
/* report 129 */ SELECT i.order_id, i.qty, i.product, i.price FROM items i where i.order_id = (SELECT max(p.id) FROM products p) OR i.price = 3
--@@
select i.qty, i.price from items i where i.qty LIKE '%its%'
--@@
select o.customer, o.id from orders o left outer join orders o on o.id = o.id where o.note IS NOT NULL and o.id IN (8, 6, 8, 7, 6, 6)
--@@
SELECT m.id, count(*) AS n, sum(m.value) total from "Mixed Case" m GROUP BY m.id HAVING count(*) > 5 ORDER BY n desc
--@@
select * from sales.orders so where so.id IN (SELECT c.id from customers c where c.name IN (6, 9, 4))
--@@
with x as (select p.id, p.price, p.title from products p where p.title LIKE '%y%') select * FROM x
--@@
INSERT INTO customers (id, name, country, vip) values (NULL, NULL, 75, NULL), (now(), 365, NULL, NULL), (919, NULL, 'v0', now())
--@@
update sales.orders SET note = 0 where note BETWEEN 3 AND 14
--@@
DELETE FROM orders where note BETWEEN 1 AND 7
--@@
select so.amount,
  case WHEN so.amount BETWEEN 5 AND 17 then 'a' ELSE 'b' END AS kind -- note 138
from sales.orders so
order by 1 LIMIT 47
--@@
/* report 139 */ SELECT m.value, m.id, m."Odd Col" from "Mixed Case" m where m.id = (SELECT max(i.order_id) from items i) or m.value = 91
--@@
select so.note from sales.orders so WHERE so.note IN (3)
--@@
select so.id, so.amount, so.note, c.id from sales.orders so left join customers c ON c.id = so.id where so.amount BETWEEN 1 AND 16 AND c.vip LIKE '%its%'
--@@
SELECT m.id, count(*) AS n, sum(m.value) total from "Mixed Case" m group by m.id HAVING count(*) > 4 order by n desc
--@@
SELECT * FROM "Mixed Case" m WHERE m.id in (SELECT i.order_id from items i where i.price LIKE '%x%')
--@@
WITH x as (SELECT c.id FROM customers c where c.country > 385) select * FROM x
--@@
insert into customers (id, name, country, vip) values ('v9', 588, 745, 915), (899, 'v7', 538, 'v3')
--@@
UPDATE orders SET customer = customer + 1, id = 2 WHERE created > 209
--@@
DELETE FROM sales.orders where amount IN (3, 1, 4, 9)
--@@
SELECT p.id,
  case WHEN p.id > 356 then 'a' else 'b' END as kind -- note 148
from products p
ORDER BY 1 limit 51
--@@
/* report 149 */ select so.note, so.amount, so.id from sales.orders so WHERE so.id = (select max(i.order_id) from items i) OR so.note IN (4, 3, 2, 9, 6)
--@@
select c.name, c.id FROM customers c where c.id > 196
--@@
SELECT i.price, i.qty, i.order_id, p.id FROM items i left outer join products p ON p.id = i.order_id WHERE i.product IN (3) and p.price > 175
--@@
SELECT o.amount, count(*) AS n, sum(o.created) total FROM orders o GROUP BY o.amount HAVING count(*) > 5 order by n DESC
--@@
select * FROM orders o where o.id IN (SELECT p.id from products p WHERE p.title = 92)
--@@
WITH x as (select o.note, o.created, o.customer, o.id from orders o WHERE o.note IS NOT NULL) select * FROM x
--@@
insert into orders (id, customer, amount, note, created) VALUES ('v1', 868, 104, now(), NULL), (now(), 'v9', 'v0', 'v5', 'v0'), (NULL, now(), now(), 523, 'v4'), (now(), NULL, 'v3', NULL, now())
--@@
UPDATE items SET price = 'z' WHERE coalesce(product, 0) <> 0
--@@
delete from products WHERE coalesce(stock, 0) <> 0
--@@
SELECT p.id,
  CASE WHEN p.title LIKE '%its%' THEN 'a' ELSE 'b' end AS kind -- note 158
from products p
ORDER BY 1 limit 42
--@@
/* report 159 */ select so.note FROM sales.orders so WHERE so.id = (SELECT max(c.id) FROM customers c) or so.id BETWEEN 3 AND 7
--@@
SELECT c.country FROM customers c where c.id > 249
--@@
select c.id, c.country, c.vip, so.id FROM customers c left join sales.orders so ON so.id = c.id WHERE c.vip BETWEEN 4 AND 7 and so.id IN (1)
--@@
SELECT o.id, count(*) AS n, sum(o.created) total from orders o GROUP BY o.id having count(*) > 8 ORDER BY n DESC
--@@
SELECT * from orders o WHERE o.id IN (SELECT c.id from customers c where c.country = 26)
--@@
with x as (SELECT o.note from orders o WHERE o.customer IN (7)) SELECT * from x
--@@
insert into orders (id, customer, amount, note, created) VALUES (613, 'v3', NULL, 'v7', now())
--@@
update customers set name = name + 1, id = id + 1 where vip BETWEEN 2 AND 19
--@@
delete from orders WHERE note LIKE '%its%'
--@@
select m."Odd Col",
  case WHEN m.value = 59 THEN 'a' else 'b' end as kind -- note 168
from "Mixed Case" m
ORDER BY 1 LIMIT 39
--@@
/* report 169 */ select m.id FROM "Mixed Case" m WHERE m.id = (SELECT max(so.id) from sales.orders so) OR m."Odd Col" LIKE '%x%'
--@@
select m.id, m.value, m."Odd Col" FROM "Mixed Case" m where coalesce(m.id, 0) <> 0
--@@
select so.amount, so.note, m.id from sales.orders so left join "Mixed Case" m on m.id = so.id WHERE coalesce(so.id, 0) <> 0 and m.value IN (9, 7, 3, 5, 7)
--@@
select i.price, count(*) AS n, sum(i.price) total FROM items i group by i.price HAVING count(*) > 2 order by n DESC
--@@
select * FROM sales.orders so WHERE so.id in (SELECT c.id FROM customers c where c.id = 51)
--@@
WITH x as (SELECT p.stock, p.price, p.title, p.id FROM products p where p.title > 265) select * from x
--@@
insert into "Mixed Case" (id, "Odd Col", value) VALUES (NULL, now(), NULL), (now(), NULL, now()), ('v6', 797, now()), (now(), NULL, now())
--@@
update products SET price = 4, stock = stock + 1, title = title + 1 where id > 85
--@@
delete from items WHERE product LIKE '%x%'
--@@
select c.name,
  case when c.vip = 37 THEN 'a' else 'b' end AS kind -- note 178
FROM customers c
order by 1 LIMIT 42
--@@
/* report 179 */ select c.name, c.vip, c.country, c.id from customers c where c.id = (SELECT max(o.id) FROM orders o) OR coalesce(c.country, 0) <> 0
--@@
select c.name FROM customers c where coalesce(c.vip, 0) <> 0
--@@
SELECT o.amount, o.created, o.id, o.customer, o.note, i.order_id from orders o LEFT OUTER JOIN items i on i.order_id = o.id WHERE coalesce(o.customer, 0) <> 0 AND i.product = 99
--@@
select p.price, count(*) AS n, sum(p.stock) total FROM products p group by p.price having count(*) > 2 ORDER BY n desc
--@@
select * from items i where i.order_id in (SELECT m.id FROM "Mixed Case" m WHERE m.value = 3)
--@@
WITH x AS (select o.created, o.note, o.id, o.amount, o.customer from orders o WHERE o.amount = 44) SELECT * from x
--@@
INSERT INTO customers (id, name, country, vip) values (now(), 'v7', now(), 'v3'), ('v6', 'v0', 96, 38)
--@@
UPDATE customers set id = 'z', vip = vip + 1, name = 1 where country BETWEEN 1 AND 14
--@@
DELETE FROM orders where created BETWEEN 2 AND 7
--@@
select p.id,
  CASE WHEN p.title IN (5, 5, 5) then 'a' ELSE 'b' END AS kind -- note 188
FROM products p
order by 1 limit 28
--@@
/* report 189 */ select so.amount, so.id from sales.orders so where so.id = (select max(m.id) from "Mixed Case" m) OR so.note LIKE '%50%%'
--@@
select i.qty, i.product FROM items i WHERE i.product > 84
--@@
select c.country, c.id, c.vip, so.id from customers c LEFT JOIN sales.orders so on so.id = c.id WHERE c.country LIKE '%x%' and so.note IN (4, 4, 5, 1, 5, 7)
--@@
SELECT m.id, count(*) AS n, sum(m.value) total from "Mixed Case" m group by m.id having count(*) > 3 order by n desc
--@@
select * FROM products p WHERE p.id in (select m.id from "Mixed Case" m where m."Odd Col" LIKE '%y%')
--@@
with x as (SELECT p.stock, p.price FROM products p WHERE p.stock = 29) SELECT * from x
--@@
insert into sales.orders (id, amount, note) VALUES (492, 392, 'v9'), (NULL, 'v4', NULL)
--@@
update items set product = 'z' WHERE product = 29
--@@
DELETE FROM products WHERE id LIKE '%50%%'
--@@
SELECT c.id,
  CASE WHEN c.country IN (4, 8, 4, 7, 2) THEN 'a' else 'b' end AS kind -- note 198
FROM customers c
ORDER BY 1 LIMIT 59
--@@
/* report 199 */ select p.stock FROM products p WHERE p.id = (select max(c.id) from customers c) OR p.price IN (9, 1, 8, 1, 9, 4)
--@@
select c.name, c.vip, c.country from customers c WHERE c.name IS NOT NULL
--@@
SELECT c.name, c.id, c.vip, i.order_id FROM customers c inner join items i ON i.order_id = c.id WHERE c.vip LIKE '%y%' AND coalesce(i.qty, 0) <> 0
--@@
SELECT o.amount, count(*) as n, sum(o.created) total FROM orders o group by o.amount having count(*) > 1 ORDER BY n DESC
--@@
select * from orders o WHERE o.id in (SELECT so.id FROM sales.orders so where so.id IS NOT NULL)
--@@
WITH x AS (select m."Odd Col", m.value, m.id from "Mixed Case" m WHERE m.value IS NOT NULL) select * from x
--@@
insert into products (id, title, price, stock) values ('v7', 688, NULL, now())
--@@
UPDATE customers set vip = 'z', id = 'z', country = 2, name = 'z' where vip IS NOT NULL
--@@
delete from "Mixed Case" WHERE coalesce("Odd Col", 0) <> 0
--@@
select o.created,
  case WHEN o.id IS NOT NULL THEN 'a' else 'b' end AS kind -- note 208
FROM orders o
ORDER BY 1 LIMIT 26
--@@
/* report 209 */ SELECT c.id, c.country, c.name FROM customers c WHERE c.id = (SELECT max(m.id) FROM "Mixed Case" m) OR c.id IN (5, 3, 6, 6, 9, 8)

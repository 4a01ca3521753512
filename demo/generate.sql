-- Fills the sample shop of demo/schema.sql with about 410,000 rows, generated here rather than
-- shipped as data. MariaDB's SEQUENCE engine supplies the row numbers (seq_1_to_N is a virtual
-- table of the numbers 1..N), and CRC32 of a row number with a salt stands in for a random number,
-- so every load produces exactly the same rows.
-- The text is UTF-8; load it with a utf8mb4 client connection.

USE sampleshop;
SET SESSION unique_checks = 0;
SET SESSION time_zone = '+00:00';

-- ---------------------------------------------------------------- categories (40)
INSERT INTO categories (id, parent_id, name, slug) VALUES
 (1, NULL, 'Kitchen & Dining', 'kitchen'),
 (2, NULL, 'Garden', 'garden'),
 (3, NULL, 'Books & Stationery', 'books'),
 (4, NULL, 'Toys', 'toys'),
 (5, NULL, 'Tea & Coffee', 'tea-coffee'),
 (6, NULL, 'Outdoor', 'outdoor'),
 (7, NULL, 'Home Décor', 'home-decor'),
 (8, NULL, 'Électronique', 'electronique');
INSERT INTO categories (parent_id, name, slug)
SELECT 1 + (seq - 1) MOD 8,
       CONCAT(ELT(1 + (seq - 1) DIV 8, 'Essentials', 'Premium', 'Vintage', 'Für Kinder', '和風'),
              ' · ', ELT(1 + (seq - 1) MOD 8, 'Kitchen', 'Garden', 'Books', 'Toys', 'Tea',
                         'Outdoor', 'Décor', 'Électronique')),
       CONCAT('sub-', seq)
FROM seq_1_to_32;

-- ---------------------------------------------------------------- customers (20,000)
INSERT INTO customers (id, email, first_name, last_name, birth_date, phone, tier, created_at,
                       updated_at, notes)
SELECT seq,
       CONCAT('customer', seq, '@', ELT(1 + seq MOD 4, 'example.com', 'example.org',
                                        'example.net', 'mail.example')),
       ELT(1 + CRC32(CONCAT('fn', seq)) MOD 20,
           'José', 'Zoë', 'Łukasz', 'Søren', 'Ana', 'François', '明', '優子', 'Ingrid', 'Ömer',
           'Nguyễn', 'Дмитрий', 'Αλέξης', 'Björn', 'María', 'Chloé', 'Siobhán', '지훈', 'Aarav',
           'Olivia'),
       ELT(1 + CRC32(CONCAT('ln', seq)) MOD 20,
           'García', 'Müller', 'Nowak', 'Kristiansen', 'Dubois', '佐藤', '王', 'Öztürk', 'Smith',
           'Иванова', 'Παπαδόπουλος', 'Sánchez', 'Ó Briain', '김', 'Nguyen', 'Rossi', 'Van Dijk',
           'Håkansson', 'Kowalczyk', 'Şahin'),
       IF(seq MOD 7 = 0, NULL,
          DATE('1950-01-01') + INTERVAL (CRC32(CONCAT('bd', seq)) MOD 19000) DAY),
       IF(seq MOD 3 = 0, NULL,
          CONCAT('+', 30 + seq MOD 60, ' ', LPAD(CRC32(CONCAT('ph', seq)) MOD 1000000000, 9, '0'))),
       ELT(1 + IF(CRC32(CONCAT('tr', seq)) MOD 10 < 6, 0, CRC32(CONCAT('tr', seq)) MOD 4),
           'standard', 'silver', 'gold', 'platinum'),
       TIMESTAMP('2018-01-01 08:00:00') + INTERVAL (seq * 9000 + CRC32(CONCAT('ca', seq)) MOD 9000)
           SECOND,
       TIMESTAMP('2024-01-01 00:00:00') + INTERVAL (CRC32(CONCAT('ua', seq)) MOD 30000000) SECOND,
       CASE CRC32(CONCAT('no', seq)) MOD 10
         WHEN 0 THEN 'Prefers delivery after 18:00 — ring twice.'
         WHEN 1 THEN 'Bitte nicht vor 9 Uhr liefern. Danke schön!'
         WHEN 2 THEN '請在週末送貨。'
         WHEN 3 THEN 'VIP 🌟 — always include a handwritten thank-you card ✍️'
         ELSE NULL
       END
FROM seq_1_to_20000;

-- ---------------------------------------------------------------- addresses (30,000)
-- Every customer has a shipping address (ids 1..20000, same as the customer id); the first
-- 10,000 customers also have a billing address.
INSERT INTO addresses (id, customer_id, kind, line1, line2, postal_code, city, country, is_default)
SELECT seq,
       IF(seq <= 20000, seq, seq - 20000),
       IF(seq <= 20000, 'shipping', 'billing'),
       CONCAT(1 + CRC32(CONCAT('hn', seq)) MOD 250, ' ',
              ELT(1 + CRC32(CONCAT('st', seq)) MOD 12,
                  'Rue de la Paix', 'Bahnhofstraße', 'ul. Świętokrzyska', 'Calle Mayor',
                  'Kongens gate', '中山路', 'Main Street', 'Via dei Fori Imperiali',
                  'Ulitsa Tverskaya', 'Rua Augusta', 'Høgskoleringen', 'İstiklal Caddesi')),
       IF(CRC32(CONCAT('l2', seq)) MOD 4 = 0, CONCAT('Apt. ', 1 + seq MOD 90), NULL),
       LPAD(CRC32(CONCAT('pc', seq)) MOD 100000, 5, '0'),
       ELT(1 + CRC32(CONCAT('ct', seq)) MOD 12,
           'Paris', 'Zürich', 'Kraków', 'Málaga', 'Ålesund', '上海', 'Springfield', 'Roma',
           'Москва', 'São Paulo', 'Trondheim', 'İstanbul'),
       ELT(1 + CRC32(CONCAT('ct', seq)) MOD 12,
           'FR', 'CH', 'PL', 'ES', 'NO', 'CN', 'US', 'IT', 'RU', 'BR', 'NO', 'TR'),
       IF(seq <= 20000, 1, 0)
FROM seq_1_to_30000;

-- ---------------------------------------------------------------- products (5,000)
INSERT INTO products (id, sku, name, category_id, price, weight_kg, reorder_at, status,
                      description, created_at)
SELECT seq,
       CONCAT('SKU-', LPAD(seq, 8, '0')),
       CONCAT(ELT(1 + CRC32(CONCAT('adj', seq)) MOD 12,
                  'Classic', 'Rustic', 'Crème', 'Nordic', 'Smart', 'Eco', '特選', 'Deluxe',
                  'Mini', 'Große', 'Café', 'Handmade'),
              ' ',
              ELT(1 + CRC32(CONCAT('noun', seq)) MOD 12,
                  'Coffee Mug ☕', 'Green Tea 🍵', 'Rubber Duck 🦆', 'Notebook 📓', 'Teapot',
                  'Garden Gnome', 'Lantern 🏮', 'Plant Pot 🪴', 'Chopsticks 箸', 'Backpack 🎒',
                  'Bicycle Bell 🚲', 'Puzzle 🧩'),
              ' #', seq),
       9 + (seq - 1) MOD 32,
       ROUND(2 + (CRC32(CONCAT('pr', seq)) MOD 49800) / 100, 2),
       IF(seq MOD 11 = 0, NULL, ROUND((CRC32(CONCAT('wt', seq)) MOD 25000) / 1000 + 0.05, 3)),
       5 + CRC32(CONCAT('ro', seq)) MOD 50,
       ELT(1 + IF(seq MOD 20 = 0, 2, IF(seq MOD 33 = 0, 1, 0)), 'active', 'draft', 'discontinued'),
       CONCAT_WS(' ',
           'Item', seq, 'of our catalogue.',
           ELT(1 + CRC32(CONCAT('d1', seq)) MOD 5,
               'Made from recycled materials and packed without plastic.',
               'Fabriqué en France, garanti deux ans.',
               'Handgefertigt in kleinen Stückzahlen – jedes Stück ist ein Unikat.',
               '天然素材を使用した、長く使える一品です。',
               'Diseñado en Barcelona con cariño ❤️.'),
           REPEAT('Lorem ipsum dolor sit amet, consectetur adipiscing elit. ',
                  1 + CRC32(CONCAT('d2', seq)) MOD 12),
           ELT(1 + CRC32(CONCAT('d3', seq)) MOD 4,
               'Dishwasher safe.', 'Not suitable for children under 3 years ⚠️.',
               'Größe: 12 × 8 × 4 cm.', 'Care: wipe with a damp cloth.')),
       TIMESTAMP('2017-06-01 09:30:00') + INTERVAL (seq * 3600 * 5 + seq MOD 3571) SECOND
FROM seq_1_to_5000;

-- ---------------------------------------------------------------- product_images (2,500)
-- Binary pictures of 1 to 4 KB; every hundredth one is about 200 KB.
INSERT INTO product_images (id, product_id, sort_order, mime_type, width, height, image, caption)
SELECT seq,
       1 + (seq - 1) MOD 2000,
       1 + (seq - 1) DIV 2000,
       IF(seq MOD 4 = 0, 'image/jpeg', 'image/png'),
       IF(seq MOD 2 = 0, 800, 640),
       IF(seq MOD 2 = 0, 600, 480),
       CONCAT(IF(seq MOD 4 = 0, UNHEX('FFD8FFE000104A464946'), UNHEX('89504E470D0A1A0A')),
              REPEAT(UNHEX(SHA2(CONCAT('img', seq), 512)),
                     IF(seq MOD 100 = 0, 3200, 16 + CRC32(CONCAT('sz', seq)) MOD 48))),
       IF(seq MOD 3 = 0, NULL,
          ELT(1 + seq MOD 4, 'Front view', 'Vue de côté', 'Detailansicht', '使用例 📷'))
FROM seq_1_to_2500;

-- ---------------------------------------------------------------- warehouses (6)
INSERT INTO warehouses (id, code, name, city, opened_on, latitude, longitude) VALUES
 (1, 'ZRH', 'Lager Zürich-Süd', 'Zürich', '2012-03-15', 47.3497, 8.5213),
 (2, 'LYS', 'Entrepôt Lyon Saint-Exupéry', 'Lyon', '2014-09-01', 45.7256, 5.0811),
 (3, 'KIX', '大阪第二倉庫', '大阪', '2016-04-20', 34.4320, 135.2304),
 (4, 'LOD', 'Magazyn Łódź', 'Łódź', '2018-01-08', 51.7592, 19.4560),
 (5, 'GRU', 'Depósito São Paulo', 'São Paulo', '2019-11-11', -23.4356, -46.4731),
 (6, 'TRD', 'Lager Trondheim', 'Trondheim', '2021-06-30', 63.4305, 10.3951);

-- ---------------------------------------------------------------- stock (30,000)
INSERT INTO stock (warehouse_id, product_id, quantity, reserved, last_counted)
SELECT w.seq,
       p.seq,
       CRC32(CONCAT('q', w.seq, '-', p.seq)) MOD 500,
       CRC32(CONCAT('r', w.seq, '-', p.seq)) MOD 20,
       IF(p.seq MOD 9 = 0, NULL,
          DATE('2025-01-01') + INTERVAL (CRC32(CONCAT('lc', w.seq, '-', p.seq)) MOD 300) DAY)
FROM seq_1_to_6 w JOIN seq_1_to_5000 p;

-- ---------------------------------------------------------------- orders (60,000)
INSERT INTO orders (id, order_no, customer_id, ordered_at, status, currency, shipping,
                    shipping_address_id, note)
SELECT seq,
       CONCAT('SO-', LPAD(seq, 8, '0')),
       1 + CRC32(CONCAT('oc', seq)) MOD 20000,
       TIMESTAMP('2020-01-01 00:00:00') + INTERVAL (seq * 2400 + CRC32(CONCAT('ot', seq)) MOD 2400)
           SECOND,
       IF(seq > 59000, 'new',
          ELT(1 + CRC32(CONCAT('os', seq)) MOD 20,
              'delivered', 'delivered', 'delivered', 'delivered', 'delivered', 'delivered',
              'delivered', 'delivered', 'delivered', 'delivered', 'shipped', 'shipped', 'shipped',
              'paid', 'paid', 'cancelled', 'returned', 'delivered', 'delivered', 'delivered')),
       ELT(1 + CRC32(CONCAT('cu', seq)) MOD 4, 'EUR', 'EUR', 'USD', 'CHF'),
       ELT(1 + CRC32(CONCAT('sh', seq)) MOD 4, 0, 4.90, 6.50, 12.00),
       1 + CRC32(CONCAT('oc', seq)) MOD 20000,
       CASE CRC32(CONCAT('on', seq)) MOD 25
         WHEN 0 THEN 'Gift wrap please 🎁'
         WHEN 1 THEN 'Leave at the door / Devant la porte'
         WHEN 2 THEN '不在の場合は宅配ボックスへ'
         ELSE NULL
       END
FROM seq_1_to_60000;

-- ---------------------------------------------------------------- order_items (~180,000)
-- One to five lines per order; the unit price is the product's price.
INSERT INTO order_items (order_id, line_no, product_id, quantity, unit_price, discount_pct)
SELECT o.id, l.seq, p.id,
       1 + CRC32(CONCAT('iq', o.id, '-', l.seq)) MOD 4,
       p.price,
       ELT(1 + CRC32(CONCAT('id', o.id, '-', l.seq)) MOD 8, 0, 0, 0, 0, 0, 5, 10, 12.5)
FROM orders o
JOIN seq_1_to_5 l ON l.seq <= 1 + CRC32(CONCAT('nl', o.id)) MOD 5
JOIN products p ON p.id = 1 + CRC32(CONCAT('ip', o.id, '-', l.seq)) MOD 5000;

UPDATE orders o
JOIN (SELECT order_id,
             ROUND(SUM(quantity * unit_price * (100 - discount_pct) / 100), 2) AS amount
      FROM order_items GROUP BY order_id) t ON t.order_id = o.id
SET o.subtotal = t.amount, o.total = t.amount + o.shipping;

-- ---------------------------------------------------------------- payments (~55,000)
-- One payment per paid order; every tenth paid order is paid in two parts.
INSERT INTO payments (order_id, paid_at, amount, method, reference, card_last4)
SELECT o.id,
       o.ordered_at + INTERVAL (5 + (o.id MOD 600) + (n.seq - 1) * 86400) SECOND,
       IF(o.id MOD 10 = 0,
          IF(n.seq = 1, ROUND(o.total / 2, 2), o.total - ROUND(o.total / 2, 2)),
          o.total),
       ELT(1 + CRC32(CONCAT('pm', o.id, '-', n.seq)) MOD 5,
           'card', 'bank_transfer', 'wallet', 'voucher', 'cash'),
       CONCAT('PAY-', LPAD(o.id, 8, '0'), '-', n.seq),
       IF(CRC32(CONCAT('pm', o.id, '-', n.seq)) MOD 5 = 0,
          LPAD(CRC32(CONCAT('c4', o.id)) MOD 10000, 4, '0'), NULL)
FROM orders o
JOIN seq_1_to_2 n ON n.seq = 1 OR o.id MOD 10 = 0
WHERE o.status IN ('paid', 'shipped', 'delivered', 'returned')
ORDER BY o.id, n.seq;

-- ---------------------------------------------------------------- reviews (25,000)
-- Five rounds over the products; round r draws its reviewer from the r-th block of 4,000
-- customers, so no customer reviews a product twice.
INSERT INTO reviews (id, product_id, customer_id, rating, title, body, helpful_votes, created_at)
SELECT seq,
       1 + (seq - 1) MOD 5000,
       1 + ((seq - 1) DIV 5000) * 4000 + CRC32(CONCAT('rc', seq)) MOD 4000,
       1 + CRC32(CONCAT('rr', seq)) MOD 5,
       ELT(1 + CRC32(CONCAT('rt', seq)) MOD 10,
           'Great value', 'Très bien !', 'Sehr gut verarbeitet', '期待以上でした',
           'Not what I expected 😕', 'Perfecto 👌', 'Arrived late', 'Отличное качество',
           'Five stars ⭐⭐⭐⭐⭐', '还可以'),
       CONCAT_WS(' ',
           ELT(1 + CRC32(CONCAT('rb', seq)) MOD 6,
               'I bought this as a present and it was well received.',
               'La qualité est au rendez-vous, je recommande.',
               'Die Lieferung kam schnell, die Verpackung war umweltfreundlich.',
               '色も形もとても気に入りました。また買いたいです。',
               'It broke after two weeks 😞 — customer service replaced it quickly though.',
               'Buena relación calidad-precio. 👍'),
           REPEAT('Would buy again. ', CRC32(CONCAT('rl', seq)) MOD 6)),
       CRC32(CONCAT('hv', seq)) MOD 40,
       TIMESTAMP('2021-01-01 12:00:00') + INTERVAL (CRC32(CONCAT('rd', seq)) MOD 120000000) SECOND
FROM seq_1_to_25000;

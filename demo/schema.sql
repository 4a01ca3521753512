-- The sample shop that scripts/demo converts: eleven tables with the column types a typical
-- MySQL application uses. demo/generate.sql fills them.
-- The text is UTF-8; load it with a utf8mb4 client connection.

DROP DATABASE IF EXISTS sampleshop;
CREATE DATABASE sampleshop CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci;
USE sampleshop;

CREATE TABLE categories (
  id          SMALLINT UNSIGNED NOT NULL AUTO_INCREMENT,
  parent_id   SMALLINT UNSIGNED NULL,
  name        VARCHAR(80)  NOT NULL,
  slug        VARCHAR(80)  NOT NULL,
  PRIMARY KEY (id),
  UNIQUE KEY uq_slug (slug),
  KEY parent (parent_id)
) ENGINE=InnoDB;

CREATE TABLE customers (
  id          INT UNSIGNED NOT NULL AUTO_INCREMENT,
  email       VARCHAR(120) NOT NULL,
  first_name  VARCHAR(50)  NOT NULL,
  last_name   VARCHAR(50)  NOT NULL,
  birth_date  DATE         NULL,
  phone       VARCHAR(30)  NULL,
  tier        ENUM('standard','silver','gold','platinum') NOT NULL DEFAULT 'standard',
  created_at  DATETIME     NOT NULL,
  updated_at  TIMESTAMP    NOT NULL DEFAULT CURRENT_TIMESTAMP ON UPDATE CURRENT_TIMESTAMP,
  notes       TEXT         NULL,
  PRIMARY KEY (id),
  UNIQUE KEY uq_email (email),
  KEY full_name (last_name, first_name)
) ENGINE=InnoDB;

CREATE TABLE addresses (
  id          INT UNSIGNED NOT NULL AUTO_INCREMENT,
  customer_id INT UNSIGNED NOT NULL,
  kind        ENUM('shipping','billing') NOT NULL,
  line1       VARCHAR(200) NOT NULL,
  line2       VARCHAR(200) NULL,
  postal_code VARCHAR(12)  NOT NULL,
  city        VARCHAR(80)  NOT NULL,
  country     CHAR(2)      NOT NULL,
  is_default  TINYINT(1)   NOT NULL DEFAULT 0,
  PRIMARY KEY (id),
  KEY cust_kind (customer_id, kind)
) ENGINE=InnoDB;

CREATE TABLE products (
  id          INT UNSIGNED NOT NULL AUTO_INCREMENT,
  sku         CHAR(12)     NOT NULL,
  name        VARCHAR(200) NOT NULL,
  category_id SMALLINT UNSIGNED NOT NULL,
  price       DECIMAL(10,2) NOT NULL,
  weight_kg   DECIMAL(8,3) NULL,
  reorder_at  INT          NOT NULL,
  status      ENUM('active','draft','discontinued') NOT NULL,
  description TEXT         NOT NULL,
  created_at  DATETIME     NOT NULL,
  PRIMARY KEY (id),
  UNIQUE KEY uq_sku (sku),
  KEY cat_price (category_id, price)
) ENGINE=InnoDB;

CREATE TABLE product_images (
  id          INT UNSIGNED NOT NULL AUTO_INCREMENT,
  product_id  INT UNSIGNED NOT NULL,
  sort_order  TINYINT UNSIGNED NOT NULL,
  mime_type   VARCHAR(40)  NOT NULL,
  width       SMALLINT UNSIGNED NOT NULL,
  height      SMALLINT UNSIGNED NOT NULL,
  image       MEDIUMBLOB   NOT NULL,
  caption     VARCHAR(200) NULL,
  PRIMARY KEY (id),
  KEY by_product (product_id, sort_order)
) ENGINE=InnoDB;

CREATE TABLE warehouses (
  id          TINYINT UNSIGNED NOT NULL AUTO_INCREMENT,
  code        CHAR(3)      NOT NULL,
  name        VARCHAR(100) NOT NULL,
  city        VARCHAR(80)  NOT NULL,
  opened_on   DATE         NOT NULL,
  latitude    DOUBLE       NOT NULL,
  longitude   DOUBLE       NOT NULL,
  PRIMARY KEY (id),
  UNIQUE KEY uq_code (code)
) ENGINE=InnoDB;

CREATE TABLE stock (
  warehouse_id TINYINT UNSIGNED NOT NULL,
  product_id   INT UNSIGNED NOT NULL,
  quantity     INT          NOT NULL,
  reserved     INT          NOT NULL,
  last_counted DATE         NULL,
  PRIMARY KEY (warehouse_id, product_id),
  KEY product (product_id)
) ENGINE=InnoDB;

CREATE TABLE orders (
  id          INT UNSIGNED NOT NULL AUTO_INCREMENT,
  order_no    VARCHAR(20)  NOT NULL,
  customer_id INT UNSIGNED NOT NULL,
  ordered_at  DATETIME     NOT NULL,
  status      ENUM('new','paid','shipped','delivered','cancelled','returned') NOT NULL,
  currency    CHAR(3)      NOT NULL,
  subtotal    DECIMAL(12,2) NOT NULL DEFAULT 0,
  shipping    DECIMAL(8,2) NOT NULL,
  total       DECIMAL(12,2) NOT NULL DEFAULT 0,
  shipping_address_id INT UNSIGNED NOT NULL,
  note        VARCHAR(255) NULL,
  PRIMARY KEY (id),
  UNIQUE KEY uq_order_no (order_no),
  KEY cust_date (customer_id, ordered_at),
  KEY status_date (status, ordered_at)
) ENGINE=InnoDB;

CREATE TABLE order_items (
  order_id     INT UNSIGNED NOT NULL,
  line_no      SMALLINT UNSIGNED NOT NULL,
  product_id   INT UNSIGNED NOT NULL,
  quantity     SMALLINT UNSIGNED NOT NULL,
  unit_price   DECIMAL(10,2) NOT NULL,
  discount_pct DECIMAL(5,2) NOT NULL DEFAULT 0,
  PRIMARY KEY (order_id, line_no),
  KEY product (product_id)
) ENGINE=InnoDB;

CREATE TABLE payments (
  id          BIGINT UNSIGNED NOT NULL AUTO_INCREMENT,
  order_id    INT UNSIGNED NOT NULL,
  paid_at     DATETIME     NOT NULL,
  amount      DECIMAL(12,2) NOT NULL,
  method      ENUM('card','bank_transfer','wallet','voucher','cash') NOT NULL,
  reference   VARCHAR(40)  NOT NULL,
  card_last4  CHAR(4)      NULL,
  PRIMARY KEY (id),
  UNIQUE KEY uq_reference (reference),
  KEY by_order (order_id)
) ENGINE=InnoDB;

CREATE TABLE reviews (
  id            INT UNSIGNED NOT NULL AUTO_INCREMENT,
  product_id    INT UNSIGNED NOT NULL,
  customer_id   INT UNSIGNED NOT NULL,
  rating        TINYINT UNSIGNED NOT NULL,
  title         VARCHAR(150) NOT NULL,
  body          TEXT         NOT NULL,
  helpful_votes INT          NOT NULL DEFAULT 0,
  created_at    DATETIME     NOT NULL,
  PRIMARY KEY (id),
  UNIQUE KEY one_per_customer (product_id, customer_id),
  KEY by_customer (customer_id)
) ENGINE=InnoDB;

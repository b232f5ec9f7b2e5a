-- Tables of the agency's business functions and their definitions.
-- Loads into SQLite and PostgreSQL. Dates are kept as 'yyyy-MM-dd' text so the
-- same statements compare them on both engines. Every record carries a
-- version that each write checks and advances.

CREATE TABLE jx_function (
  progid      INTEGER NOT NULL PRIMARY KEY,
  title       VARCHAR(100) NOT NULL DEFAULT '',
  tablename   VARCHAR(50) NOT NULL DEFAULT '',
  keyfield    VARCHAR(50) NOT NULL DEFAULT 'id',
  codefield   VARCHAR(50) NOT NULL DEFAULT '',
  listsql     TEXT NOT NULL DEFAULT '',
  detailprog  INTEGER NOT NULL DEFAULT 0,
  editprog    INTEGER NOT NULL DEFAULT 0,
  groupfield  VARCHAR(50) NOT NULL DEFAULT '',
  totalfields VARCHAR(200) NOT NULL DEFAULT '',
  params      VARCHAR(200) NOT NULL DEFAULT '',
  deleteguard TEXT NOT NULL DEFAULT '',
  guardtext   VARCHAR(200) NOT NULL DEFAULT '',
  matchkind   VARCHAR(20) NOT NULL DEFAULT ''
);

CREATE TABLE jx_funccolumn (
  progid   INTEGER NOT NULL,
  colorder INTEGER NOT NULL,
  field    VARCHAR(50) NOT NULL,
  caption  VARCHAR(50) NOT NULL DEFAULT '',
  coltype  VARCHAR(20) NOT NULL DEFAULT 'text',
  width    INTEGER NOT NULL DEFAULT 100,
  required INTEGER NOT NULL DEFAULT 0,
  minval   VARCHAR(30) NOT NULL DEFAULT '',
  maxval   VARCHAR(30) NOT NULL DEFAULT '',
  choices  VARCHAR(500) NOT NULL DEFAULT '',
  defval   VARCHAR(100) NOT NULL DEFAULT '',
  PRIMARY KEY (progid, colorder)
);

CREATE TABLE fy_district (
  code VARCHAR(10) NOT NULL PRIMARY KEY,
  name VARCHAR(50) NOT NULL
);

CREATE TABLE fy_agent (
  agentcode VARCHAR(10) NOT NULL PRIMARY KEY,
  agentname VARCHAR(50) NOT NULL,
  phone     VARCHAR(20) NOT NULL DEFAULT '',
  username  VARCHAR(50) NOT NULL DEFAULT ''
);

CREATE TABLE fy_house (
  id         INTEGER NOT NULL PRIMARY KEY,
  code       VARCHAR(20) NOT NULL UNIQUE,
  dealtype   VARCHAR(10) NOT NULL DEFAULT '出售',
  district   VARCHAR(50) NOT NULL DEFAULT '',
  community  VARCHAR(100) NOT NULL DEFAULT '',
  address    VARCHAR(200) NOT NULL DEFAULT '',
  rooms      INTEGER NOT NULL DEFAULT 0,
  area       NUMERIC(10,2) NOT NULL DEFAULT 0,
  price      NUMERIC(14,2) NOT NULL DEFAULT 0,
  floor      VARCHAR(20) NOT NULL DEFAULT '',
  owner      VARCHAR(50) NOT NULL DEFAULT '',
  ownerphone VARCHAR(20) NOT NULL DEFAULT '',
  agent      VARCHAR(50) NOT NULL DEFAULT '',
  status     VARCHAR(10) NOT NULL DEFAULT '有效',
  regdate    VARCHAR(10) NOT NULL DEFAULT '',
  memo       TEXT NOT NULL DEFAULT '',
  version    INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ix_fy_house_district ON fy_house (district);

CREATE TABLE kh_customer (
  id        INTEGER NOT NULL PRIMARY KEY,
  name      VARCHAR(50) NOT NULL,
  phone     VARCHAR(20) NOT NULL DEFAULT '',
  dealtype  VARCHAR(10) NOT NULL DEFAULT '出售',
  district  VARCHAR(50) NOT NULL DEFAULT '',
  pricemin  NUMERIC(14,2) NOT NULL DEFAULT 0,
  pricemax  NUMERIC(14,2) NOT NULL DEFAULT 0,
  areamin   NUMERIC(10,2) NOT NULL DEFAULT 0,
  areamax   NUMERIC(10,2) NOT NULL DEFAULT 0,
  rooms     INTEGER NOT NULL DEFAULT 0,
  agent     VARCHAR(50) NOT NULL DEFAULT '',
  status    VARCHAR(10) NOT NULL DEFAULT '有效',
  regdate   VARCHAR(10) NOT NULL DEFAULT '',
  memo      TEXT NOT NULL DEFAULT '',
  version   INTEGER NOT NULL DEFAULT 1
);

CREATE TABLE gj_follow (
  id         INTEGER NOT NULL PRIMARY KEY,
  objtype    VARCHAR(10) NOT NULL DEFAULT '房源',
  objid      INTEGER NOT NULL DEFAULT 0,
  followdate VARCHAR(10) NOT NULL DEFAULT '',
  nextdate   VARCHAR(10) NOT NULL DEFAULT '',
  method     VARCHAR(20) NOT NULL DEFAULT '',
  agent      VARCHAR(50) NOT NULL DEFAULT '',
  content    TEXT NOT NULL DEFAULT '',
  version    INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ix_gj_follow_obj ON gj_follow (objtype, objid);

CREATE TABLE ht_contract (
  id           INTEGER NOT NULL PRIMARY KEY,
  contractno   VARCHAR(20) NOT NULL UNIQUE,
  houseid      INTEGER NOT NULL,
  customerid   INTEGER NOT NULL,
  dealtype     VARCHAR(10) NOT NULL DEFAULT '出售',
  signdate     VARCHAR(10) NOT NULL DEFAULT '',
  price        NUMERIC(14,2) NOT NULL DEFAULT 0,
  commission   NUMERIC(14,2) NOT NULL DEFAULT 0,
  paydate      VARCHAR(10) NOT NULL DEFAULT '',
  handoverdate VARCHAR(10) NOT NULL DEFAULT '',
  agent        VARCHAR(50) NOT NULL DEFAULT '',
  status       VARCHAR(10) NOT NULL DEFAULT '执行中',
  version      INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ix_ht_contract_house ON ht_contract (houseid);

CREATE TABLE yj_commission (
  id         INTEGER NOT NULL PRIMARY KEY,
  contractid INTEGER NOT NULL,
  agent      VARCHAR(50) NOT NULL DEFAULT '',
  amount     NUMERIC(14,2) NOT NULL DEFAULT 0,
  settledate VARCHAR(10) NOT NULL DEFAULT '',
  status     VARCHAR(10) NOT NULL DEFAULT '未结',
  version    INTEGER NOT NULL DEFAULT 1
);

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
  matchkind   VARCHAR(20) NOT NULL DEFAULT '',
  -- the field naming the record's agent: his own records, phones and rights
  agentfield  VARCHAR(50) NOT NULL DEFAULT '',
  -- a code left empty is generated: prefix, optional yyyyMMdd, then # digits
  codepattern VARCHAR(30) NOT NULL DEFAULT '',
  -- pairs that must be ordered, "low<=high;..." (0 in either means no bound)
  pairrules   VARCHAR(200) NOT NULL DEFAULT '',
  -- '' a form of the columns; 'rights' the user and rights screen
  formkind    VARCHAR(20) NOT NULL DEFAULT ''
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
  -- for coltype 'lookup': "table:key:shown,fields" (the first shown field is the code)
  lookup   VARCHAR(200) NOT NULL DEFAULT '',
  PRIMARY KEY (progid, colorder)
);

CREATE TABLE fy_district (
  id   INTEGER NOT NULL PRIMARY KEY,
  code VARCHAR(10) NOT NULL UNIQUE,
  name VARCHAR(50) NOT NULL UNIQUE,
  version INTEGER NOT NULL DEFAULT 1
);

CREATE TABLE fy_agent (
  id        INTEGER NOT NULL PRIMARY KEY,
  agentcode VARCHAR(10) NOT NULL UNIQUE,
  agentname VARCHAR(50) NOT NULL UNIQUE,
  phone     VARCHAR(20) NOT NULL DEFAULT '',
  username  VARCHAR(50) NOT NULL DEFAULT '',
  status    VARCHAR(10) NOT NULL DEFAULT '在职',
  version   INTEGER NOT NULL DEFAULT 1
);

-- Agents and districts are referred to by name, so a renamed one follows
-- into every record that names it; an empty choice is stored as Null.
CREATE TABLE fy_house (
  id         INTEGER NOT NULL PRIMARY KEY,
  code       VARCHAR(20) NOT NULL,
  dealtype   VARCHAR(10) NOT NULL DEFAULT '出售',
  district   VARCHAR(50) REFERENCES fy_district (name) ON UPDATE CASCADE,
  community  VARCHAR(100) NOT NULL DEFAULT '',
  address    VARCHAR(200) NOT NULL DEFAULT '',
  rooms      INTEGER NOT NULL DEFAULT 0,
  area       NUMERIC(10,2) NOT NULL DEFAULT 0,
  price      NUMERIC(14,2) NOT NULL DEFAULT 0,
  floor      VARCHAR(20) NOT NULL DEFAULT '',
  owner      VARCHAR(50) NOT NULL DEFAULT '',
  ownerphone VARCHAR(20) NOT NULL DEFAULT '',
  agent      VARCHAR(50) REFERENCES fy_agent (agentname) ON UPDATE CASCADE,
  status     VARCHAR(10) NOT NULL DEFAULT '有效',
  regdate    VARCHAR(10) NOT NULL DEFAULT '',
  memo       TEXT NOT NULL DEFAULT '',
  version    INTEGER NOT NULL DEFAULT 1
);
-- Codes are unique whatever their letter case.
CREATE UNIQUE INDEX ux_fy_house_code ON fy_house (lower(code));
CREATE INDEX ix_fy_house_district ON fy_house (district);
CREATE INDEX ix_fy_house_agent ON fy_house (agent);
-- Matching picks listings on offer by deal type, district and price, and
-- scores them by the fields that follow, read from the index alone.
CREATE INDEX ix_fy_house_match ON fy_house (dealtype, status, district, price, area, rooms);
-- The listing grid sorts in the database by a clicked column, ties by id:
-- each of these reads a screen of rows from anywhere in the order.
CREATE INDEX ix_fy_house_price ON fy_house (price, id);
CREATE INDEX ix_fy_house_area ON fy_house (area, id);
CREATE INDEX ix_fy_house_regdate ON fy_house (regdate, id);
CREATE INDEX ix_fy_house_community ON fy_house (community, id);

CREATE TABLE kh_customer (
  id        INTEGER NOT NULL PRIMARY KEY,
  name      VARCHAR(50) NOT NULL,
  phone     VARCHAR(20) NOT NULL DEFAULT '',
  dealtype  VARCHAR(10) NOT NULL DEFAULT '出售',
  -- the first of the wished districts, kept for the lists and statistics
  district  VARCHAR(50) REFERENCES fy_district (name) ON UPDATE CASCADE,
  -- every wished district by name, separated by '、' ('' any district); each
  -- names a row of fy_district, checked at every save and renamed with it
  districts VARCHAR(400) NOT NULL DEFAULT '',
  pricemin  NUMERIC(14,2) NOT NULL DEFAULT 0,
  pricemax  NUMERIC(14,2) NOT NULL DEFAULT 0,
  areamin   NUMERIC(10,2) NOT NULL DEFAULT 0,
  areamax   NUMERIC(10,2) NOT NULL DEFAULT 0,
  rooms     INTEGER NOT NULL DEFAULT 0,
  agent     VARCHAR(50) REFERENCES fy_agent (agentname) ON UPDATE CASCADE,
  status    VARCHAR(10) NOT NULL DEFAULT '有效',
  regdate   VARCHAR(10) NOT NULL DEFAULT '',
  memo      TEXT NOT NULL DEFAULT '',
  version   INTEGER NOT NULL DEFAULT 1,
  -- 0 means "no bound"
  CHECK (pricemax = 0 OR pricemin <= pricemax),
  CHECK (areamax = 0 OR areamin <= areamax)
);
CREATE INDEX ix_kh_customer_agent ON kh_customer (agent);
-- Sort orders of the customer grid (ties by id).
CREATE INDEX ix_kh_customer_name ON kh_customer (name, id);
CREATE INDEX ix_kh_customer_pricemax ON kh_customer (pricemax, id);
-- Matching picks customers still looking by deal type and budget, and
-- scores them by the fields that follow, read from the index alone.
CREATE INDEX ix_kh_customer_match ON kh_customer (dealtype, status, pricemax, pricemin, areamin, areamax, rooms, districts);

-- A follow-up concerns a listing, a customer, or a customer about a listing.
CREATE TABLE gj_follow (
  id         INTEGER NOT NULL PRIMARY KEY,
  houseid    INTEGER REFERENCES fy_house (id),
  customerid INTEGER REFERENCES kh_customer (id),
  followdate VARCHAR(10) NOT NULL DEFAULT '',
  nextdate   VARCHAR(10) NOT NULL DEFAULT '',
  method     VARCHAR(20) NOT NULL DEFAULT '',
  agent      VARCHAR(50) REFERENCES fy_agent (agentname) ON UPDATE CASCADE,
  content    TEXT NOT NULL DEFAULT '',
  version    INTEGER NOT NULL DEFAULT 1,
  CHECK (houseid IS NOT NULL OR customerid IS NOT NULL)
);
CREATE INDEX ix_gj_follow_house ON gj_follow (houseid);
CREATE INDEX ix_gj_follow_customer ON gj_follow (customerid);

CREATE TABLE ht_contract (
  id           INTEGER NOT NULL PRIMARY KEY,
  contractno   VARCHAR(20) NOT NULL,
  houseid      INTEGER NOT NULL REFERENCES fy_house (id),
  customerid   INTEGER NOT NULL REFERENCES kh_customer (id),
  dealtype     VARCHAR(10) NOT NULL DEFAULT '出售',
  signdate     VARCHAR(10) NOT NULL DEFAULT '',
  price        NUMERIC(14,2) NOT NULL DEFAULT 0,
  commission   NUMERIC(14,2) NOT NULL DEFAULT 0,
  paydate      VARCHAR(10) NOT NULL DEFAULT '',
  handoverdate VARCHAR(10) NOT NULL DEFAULT '',
  agent        VARCHAR(50) REFERENCES fy_agent (agentname) ON UPDATE CASCADE,
  status       VARCHAR(10) NOT NULL DEFAULT '执行中',
  version      INTEGER NOT NULL DEFAULT 1
);
CREATE UNIQUE INDEX ux_ht_contract_no ON ht_contract (lower(contractno));
-- A listing is sold (or let) once: at most one contract that is not cancelled.
CREATE UNIQUE INDEX ux_ht_contract_house_live ON ht_contract (houseid) WHERE status <> '已解除';
CREATE INDEX ix_ht_contract_customer ON ht_contract (customerid);

CREATE TABLE yj_commission (
  id         INTEGER NOT NULL PRIMARY KEY,
  contractid INTEGER NOT NULL REFERENCES ht_contract (id),
  agent      VARCHAR(50) REFERENCES fy_agent (agentname) ON UPDATE CASCADE,
  amount     NUMERIC(14,2) NOT NULL DEFAULT 0,
  settledate VARCHAR(10) NOT NULL DEFAULT '',
  status     VARCHAR(10) NOT NULL DEFAULT '未结',
  version    INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX ix_yj_commission_contract ON yj_commission (contractid);

-- Who changed what: one row per changed field of every save and delete,
-- written in the transaction of the change.
CREATE TABLE jx_history (
  tablename VARCHAR(50) NOT NULL,
  recordid  INTEGER NOT NULL,
  version   INTEGER NOT NULL,
  field     VARCHAR(50) NOT NULL,
  action    VARCHAR(10) NOT NULL,
  username  VARCHAR(50) NOT NULL DEFAULT '',
  changedat VARCHAR(19) NOT NULL DEFAULT '',
  oldvalue  TEXT NOT NULL DEFAULT '',
  newvalue  TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (tablename, recordid, version, field)
);

-- Which record was saved or deleted, for the other workstations on an SQLite
-- file to read while they are active (PostgreSQL tells them by NOTIFY
-- instead). Written in the transaction of the change, only the last few
-- thousand kept; names the record, never its values.
CREATE TABLE jx_change (
  id         INTEGER NOT NULL PRIMARY KEY,
  tablename  VARCHAR(50) NOT NULL,
  recordkey  VARCHAR(50) NOT NULL,
  kind       VARCHAR(10) NOT NULL,
  username   VARCHAR(50) NOT NULL DEFAULT '',
  changedat  VARCHAR(19) NOT NULL DEFAULT ''
);

-- A listing that came to fit a waiting customer, told to the customer's agent
-- once per pair; written in the transaction of the listing's save.
CREATE TABLE jx_matchalert (
  houseid    INTEGER NOT NULL REFERENCES fy_house (id) ON DELETE CASCADE,
  customerid INTEGER NOT NULL REFERENCES kh_customer (id) ON DELETE CASCADE,
  score      INTEGER NOT NULL DEFAULT 0,
  -- '新房源' a new listing, '降价' a lower price
  reason     VARCHAR(10) NOT NULL DEFAULT '',
  created    VARCHAR(19) NOT NULL DEFAULT '',
  PRIMARY KEY (houseid, customerid)
);
CREATE INDEX ix_jx_matchalert_customer ON jx_matchalert (customerid);

-- A viewing (带看): an agent shows a listing to a customer at a time; the
-- customer's feedback and the outcome are recorded afterwards.
CREATE TABLE dk_viewing (
  id         INTEGER NOT NULL PRIMARY KEY,
  houseid    INTEGER NOT NULL REFERENCES fy_house (id),
  customerid INTEGER NOT NULL REFERENCES kh_customer (id),
  agent      VARCHAR(50) REFERENCES fy_agent (agentname) ON UPDATE CASCADE,
  viewdate   VARCHAR(10) NOT NULL DEFAULT '',
  -- 'HH:mm'
  viewtime   VARCHAR(5) NOT NULL DEFAULT '',
  -- minutes the viewing takes, for the agenda and the clash check
  duration   INTEGER NOT NULL DEFAULT 60,
  -- '已预约' booked, '已完成' done, '已取消' cancelled
  status     VARCHAR(10) NOT NULL DEFAULT '已预约',
  feedback   TEXT NOT NULL DEFAULT '',
  -- '' not yet, '有意向', '无意向', '已出价'
  outcome    VARCHAR(10) NOT NULL DEFAULT '',
  version    INTEGER NOT NULL DEFAULT 1,
  -- the follow-up its feedback was written into, updated by each later save;
  -- a follow-up deleted by hand only loosens the link
  followid   INTEGER REFERENCES gj_follow (id) ON DELETE SET NULL
);
CREATE INDEX ix_dk_viewing_date ON dk_viewing (viewdate, viewtime);
CREATE INDEX ix_dk_viewing_house ON dk_viewing (houseid);
CREATE INDEX ix_dk_viewing_customer ON dk_viewing (customerid);
-- The clash check reads one agent's viewings of a day.
CREATE INDEX ix_dk_viewing_agent ON dk_viewing (agent, viewdate);

-- An offer (出价) of a customer on a listing; a counter-offer names the offer
-- it answers, so the chain can be followed back.
CREATE TABLE cj_offer (
  id         INTEGER NOT NULL PRIMARY KEY,
  houseid    INTEGER NOT NULL REFERENCES fy_house (id),
  customerid INTEGER NOT NULL REFERENCES kh_customer (id),
  parentid   INTEGER REFERENCES cj_offer (id),
  agent      VARCHAR(50) REFERENCES fy_agent (agentname) ON UPDATE CASCADE,
  -- '买方出价' from the customer, '卖方还价' the owner's counter
  side       VARCHAR(10) NOT NULL DEFAULT '买方出价',
  amount     NUMERIC(14,2) NOT NULL DEFAULT 0,
  offerdate  VARCHAR(10) NOT NULL DEFAULT '',
  -- '有效' open, '已还价' countered, '已接受' accepted, '已拒绝' rejected, '已撤回' withdrawn
  state      VARCHAR(10) NOT NULL DEFAULT '有效',
  memo       TEXT NOT NULL DEFAULT '',
  -- the contract an accepted offer was signed as, written in the contract's transaction
  contractid INTEGER REFERENCES ht_contract (id),
  version    INTEGER NOT NULL DEFAULT 1,
  CHECK (amount > 0)
);
CREATE INDEX ix_cj_offer_house ON cj_offer (houseid, amount);
CREATE INDEX ix_cj_offer_customer ON cj_offer (customerid);

-- A search a user kept under a name in one program's list, chosen again from
-- the search panel. The conditions are the panel's text (JSON: field, caption,
-- kind and values per condition), read back against the program's columns as
-- they are then, so a condition whose column went is left out and named.
CREATE TABLE jx_savedsearch (
  username   VARCHAR(50) NOT NULL,
  progid     INTEGER NOT NULL,
  name       VARCHAR(50) NOT NULL,
  conditions TEXT NOT NULL DEFAULT '',
  savedat    VARCHAR(19) NOT NULL DEFAULT '',
  PRIMARY KEY (username, progid, name)
);

-- Photos and documents of a listing, kept in the database so every workstation
-- on a shared server sees them. A photo is scaled once when it is added: the
-- display copy and the thumbnail are stored, the original is not; a document
-- (PDF, a floor plan) is kept as it came. The first photo by sortno is the
-- listing's cover. storedsize counts the bytes kept, for the listing's limit.
CREATE TABLE fy_attachment (
  id         INTEGER NOT NULL PRIMARY KEY,
  houseid    INTEGER NOT NULL REFERENCES fy_house (id) ON DELETE CASCADE,
  -- 'photo' or 'document'
  kind       VARCHAR(10) NOT NULL DEFAULT 'photo',
  filename   VARCHAR(200) NOT NULL DEFAULT '',
  mimetype   VARCHAR(100) NOT NULL DEFAULT '',
  sortno     INTEGER NOT NULL DEFAULT 0,
  width      INTEGER NOT NULL DEFAULT 0,
  height     INTEGER NOT NULL DEFAULT 0,
  display    BLOB,
  thumbnail  BLOB,
  original   BLOB,
  filesize   INTEGER NOT NULL DEFAULT 0,
  storedsize INTEGER NOT NULL DEFAULT 0,
  addedby    VARCHAR(50) NOT NULL DEFAULT '',
  addedat    VARCHAR(19) NOT NULL DEFAULT '',
  CHECK (kind IN ('photo', 'document'))
);
CREATE INDEX ix_fy_attachment_house ON fy_attachment (houseid, kind, sortno);

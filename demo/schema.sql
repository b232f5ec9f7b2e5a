-- Product database: menu tables, company record and the runtime components' own tables.
-- Loads into SQLite and PostgreSQL (BLOB is written as BYTEA for PostgreSQL by the loader).

CREATE TABLE xt_mode (
  systemcode    VARCHAR(20) NOT NULL PRIMARY KEY,
  systemname    VARCHAR(50) NOT NULL DEFAULT '',
  systemcatalog VARCHAR(50) NOT NULL DEFAULT ''
);

CREATE TABLE xt_menu (
  menucode    VARCHAR(20) NOT NULL PRIMARY KEY,
  menuname    VARCHAR(100) NOT NULL DEFAULT '',
  systemcode  VARCHAR(20) NOT NULL DEFAULT '',
  parent      VARCHAR(20) NOT NULL DEFAULT '',
  menulevel   INTEGER NOT NULL DEFAULT 1,
  menuorder   INTEGER NOT NULL DEFAULT 0,
  menuismx    INTEGER NOT NULL DEFAULT 0,
  menuIsMajor INTEGER NOT NULL DEFAULT 1,
  menucatalog INTEGER NOT NULL DEFAULT 0,
  progID      INTEGER NOT NULL DEFAULT 0,
  inActive    INTEGER NOT NULL DEFAULT 0,
  MenuType    VARCHAR(20) NOT NULL DEFAULT ''
);
CREATE INDEX ix_xt_menu_parent ON xt_menu (parent);
CREATE INDEX ix_xt_menu_progid ON xt_menu (progID);

CREATE TABLE xt_objects (
  ProgID          INTEGER NOT NULL PRIMARY KEY,
  progName        VARCHAR(100) NOT NULL DEFAULT '',
  progClassName   VARCHAR(100) NOT NULL DEFAULT '',
  progCommandLine VARCHAR(200) NOT NULL DEFAULT '',
  systemcode      VARCHAR(20) NOT NULL DEFAULT ''
);

CREATE TABLE xt_menuPilot (
  type       INTEGER NOT NULL DEFAULT 0,
  menuCode   VARCHAR(20) NOT NULL,
  filename   VARCHAR(100) NOT NULL DEFAULT '',
  iscompress INTEGER NOT NULL DEFAULT 0,
  contents   BLOB,
  filesize   INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (type, menuCode)
);

CREATE TABLE sysdatabase (
  zt_code    VARCHAR(10) NOT NULL PRIMARY KEY,
  zt_coname  VARCHAR(100),
  zt_ename   VARCHAR(100),
  zt_attrib  VARCHAR(50),
  zt_addrg   VARCHAR(200),
  zt_eaddrr  VARCHAR(200),
  zt_account VARCHAR(50),
  zt_addrb   VARCHAR(200),
  zt_addrr   VARCHAR(200),
  zt_mail    VARCHAR(100),
  zt_tax     VARCHAR(50),
  zt_fax     VARCHAR(50),
  zt_phone   VARCHAR(50),
  zt_fr      VARCHAR(50)
);

-- Users: pwhash is a libsodium password hash string; '' means no password.
-- failcount: wrong passwords in a row (from CurrentUser::kLockAfter on the user
-- is locked); lockeduntil: the time before which no attempt is taken, '' none.
CREATE TABLE jx_user (
  usercode  VARCHAR(20) NOT NULL PRIMARY KEY,
  username  VARCHAR(50) NOT NULL UNIQUE,
  pwhash    VARCHAR(200) NOT NULL DEFAULT '',
  isadmin   INTEGER NOT NULL DEFAULT 0,
  rolecode  VARCHAR(20) NOT NULL DEFAULT '',
  active    INTEGER NOT NULL DEFAULT 1,
  lastlogin VARCHAR(20) NOT NULL DEFAULT '',
  failcount   INTEGER NOT NULL DEFAULT 0,
  lockeduntil VARCHAR(19) NOT NULL DEFAULT ''
);

-- The sign-in brake of names that name no user, counted as jx_user counts a
-- user's wrong passwords, so a name's refusals and waits never tell whether it
-- exists; no jx_user row is made for such a name.
CREATE TABLE jx_signinbrake (
  username    VARCHAR(50) NOT NULL PRIMARY KEY,
  failcount   INTEGER NOT NULL DEFAULT 0,
  lockeduntil VARCHAR(19) NOT NULL DEFAULT ''
);

-- Rights of a user on a program number; the bits are ProgramRights::Bit (1 = run).
CREATE TABLE jx_right (
  usercode  VARCHAR(20) NOT NULL,
  progid    INTEGER NOT NULL,
  rightmask INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (usercode, progid)
);

-- Roles: a user's rights on a program are his own rights there plus his role's.
CREATE TABLE jx_role (
  rolecode VARCHAR(20) NOT NULL PRIMARY KEY,
  rolename VARCHAR(50) NOT NULL UNIQUE
);
CREATE TABLE jx_roleright (
  rolecode  VARCHAR(20) NOT NULL,
  progid    INTEGER NOT NULL,
  rightmask INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (rolecode, progid)
);

CREATE TABLE jx_option (
  groupno  INTEGER NOT NULL,
  keyname  VARCHAR(50) NOT NULL,
  keyno    INTEGER NOT NULL DEFAULT 0,
  optvalue VARCHAR(200) NOT NULL DEFAULT '',
  PRIMARY KEY (groupno, keyname)
);

CREATE TABLE jx_optiongroup (
  groupno    INTEGER NOT NULL PRIMARY KEY,
  systemcode VARCHAR(20) NOT NULL DEFAULT ''
);

CREATE TABLE jx_text (
  section   VARCHAR(50) NOT NULL,
  keyname   VARCHAR(100) NOT NULL,
  textvalue VARCHAR(500) NOT NULL DEFAULT '',
  PRIMARY KEY (section, keyname)
);

CREATE TABLE jx_systemstate (
  systemcode VARCHAR(20) NOT NULL PRIMARY KEY,
  state      INTEGER NOT NULL DEFAULT 0
);

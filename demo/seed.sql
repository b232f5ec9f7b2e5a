-- Demo agency: 安居房产经纪有限公司.

INSERT INTO xt_mode (systemcode, systemname, systemcatalog) VALUES ('FY', '房源管理', '房源');
INSERT INTO xt_mode (systemcode, systemname, systemcatalog) VALUES ('KY', '客源管理', '客源');
INSERT INTO xt_mode (systemcode, systemname, systemcatalog) VALUES ('JY', '交易管理', '交易');
INSERT INTO xt_mode (systemcode, systemname, systemcatalog) VALUES ('XT', '系统管理', '系统');
INSERT INTO xt_mode (systemcode, systemname, systemcatalog) VALUES ('GJ', '工具', '系统');

-- menucode, menuname, systemcode, parent, menulevel, menuorder, menuismx, menuIsMajor, menucatalog, progID, inActive, MenuType
INSERT INTO xt_menu VALUES ('01', '房源管理', 'FY', '', 1, 1, 0, 1, 0, 0, 0, '');
INSERT INTO xt_menu VALUES ('0101', '房源登记', 'FY', '01', 2, 1, 1, 1, 100, 1001, 0, '');
INSERT INTO xt_menu VALUES ('0102', '房源查询', 'FY', '01', 2, 2, 1, 1, 103, 1002, 0, '');
INSERT INTO xt_menu VALUES ('0103', '房源统计表', 'FY', '01', 2, 3, 1, 1, 101, 1003, 0, '报表');
INSERT INTO xt_menu VALUES ('0104', '房源明细表', 'FY', '01', 2, 4, 1, 1, 102, 1004, 0, '报表');
INSERT INTO xt_menu VALUES ('0105', '出租房源登记', 'FY', '01', 2, 5, 1, 1, 105, 1005, 0, '');
INSERT INTO xt_menu VALUES ('02', '客源管理', 'KY', '', 1, 2, 0, 1, 0, 0, 0, '');
INSERT INTO xt_menu VALUES ('0201', '客户登记', 'KY', '02', 2, 1, 1, 1, 100, 2001, 0, '');
INSERT INTO xt_menu VALUES ('0202', '客户查询', 'KY', '02', 2, 2, 1, 1, 103, 2002, 0, '');
INSERT INTO xt_menu VALUES ('0203', '客源统计表', 'KY', '02', 2, 3, 1, 1, 101, 2003, 0, '报表');
INSERT INTO xt_menu VALUES ('0204', '客户跟进', 'KY', '02', 2, 4, 0, 1, 0, 0, 0, '');
INSERT INTO xt_menu VALUES ('020401', '跟进记录', 'KY', '0204', 3, 1, 1, 1, 100, 2004, 0, '');
INSERT INTO xt_menu VALUES ('020402', '跟进汇总表', 'KY', '0204', 3, 2, 1, 1, 101, 2005, 0, '报表');
INSERT INTO xt_menu VALUES ('020403', '旧跟进报表', 'KY', '0204', 3, 3, 1, 1, 101, 2006, 1, '报表');
INSERT INTO xt_menu VALUES ('020404', '跟进查询', 'KY', '0204', 3, 4, 1, 1, 103, 2007, 0, '');
INSERT INTO xt_menu VALUES ('03', '交易管理', 'JY', '', 1, 3, 0, 1, 0, 0, 0, '');
INSERT INTO xt_menu VALUES ('0301', '合同登记', 'JY', '03', 2, 1, 1, 1, 100, 3001, 0, '');
INSERT INTO xt_menu VALUES ('0302', '佣金结算', 'JY', '03', 2, 2, 1, 1, 100, 3002, 0, '');
INSERT INTO xt_menu VALUES ('0303', '成交报表', 'JY', '03', 2, 3, 1, 1, 101, 3003, 0, '报表');
INSERT INTO xt_menu VALUES ('0304', '业绩排行', 'JY', '03', 2, 4, 1, 0, 101, 3004, 0, '报表');
INSERT INTO xt_menu VALUES ('0305', '合同查询', 'JY', '03', 2, 5, 1, 1, 103, 3005, 0, '');
INSERT INTO xt_menu VALUES ('0306', '佣金查询', 'JY', '03', 2, 6, 1, 1, 103, 3006, 0, '');
INSERT INTO xt_menu VALUES ('04', '系统管理', 'XT', '', 1, 4, 0, 1, 0, 0, 0, '');
INSERT INTO xt_menu VALUES ('0401', '待办提醒', 'XT', '04', 2, 1, 1, 1, 220, 0, 0, '');
INSERT INTO xt_menu VALUES ('0402', '插件管理', 'XT', '04', 2, 2, 1, 1, 50, 100027, 0, '');
INSERT INTO xt_menu VALUES ('0403', '数据备份', 'XT', '04', 2, 3, 1, 1, 230, 4003, 0, '');
INSERT INTO xt_menu VALUES ('0404', '经纪人', 'XT', '04', 2, 4, 1, 1, 100, 4004, 0, '');
INSERT INTO xt_menu VALUES ('0405', '经纪人查询', 'XT', '04', 2, 5, 1, 1, 103, 4005, 0, '');
INSERT INTO xt_menu VALUES ('0406', '区域', 'XT', '04', 2, 6, 1, 1, 100, 4006, 0, '');
INSERT INTO xt_menu VALUES ('0407', '区域查询', 'XT', '04', 2, 7, 1, 1, 103, 4007, 0, '');
INSERT INTO xt_menu VALUES ('0408', '用户与权限', 'XT', '04', 2, 8, 1, 1, 100, 4010, 0, '');
INSERT INTO xt_menu VALUES ('05', '工具', 'GJ', '', 1, 5, 0, 1, 0, 0, 0, '');
INSERT INTO xt_menu VALUES ('0501', '房贷计算器', 'GJ', '05', 2, 1, 1, 1, 230, 5001, 0, '');
INSERT INTO xt_menu VALUES ('0502', '税费计算器', 'GJ', '05', 2, 2, 1, 1, 230, 5002, 0, '');
INSERT INTO xt_menu VALUES ('06', '今日提醒', 'XT', '', 1, 6, 1, 1, 220, 0, 0, '');

INSERT INTO xt_objects VALUES (1001, '房源登记', 'JxEdit.oedit', '', 'FY');
INSERT INTO xt_objects VALUES (1002, '房源查询', 'JxEdit.oquery', '', 'FY');
INSERT INTO xt_objects VALUES (1003, '房源统计表', 'JxEdit.oReport', '/s /w12000 /h8000', 'FY');
INSERT INTO xt_objects VALUES (1004, '房源明细表', 'JxEdit.oeditrpt', '', 'FY');
INSERT INTO xt_objects VALUES (1005, '出租房源登记', 'JxEdit.oedit', '', 'FY');
INSERT INTO xt_objects VALUES (2001, '客户登记', 'JxEdit.oedit', '', 'KY');
INSERT INTO xt_objects VALUES (2002, '客户查询', 'JxEdit.oquery', '', 'KY');
INSERT INTO xt_objects VALUES (2003, '客源统计表', 'JxEdit.oReport', '', 'KY');
INSERT INTO xt_objects VALUES (2004, '跟进记录', 'JxEdit.oedit', '/s', 'KY');
INSERT INTO xt_objects VALUES (2005, '跟进汇总表', 'JxEdit.oReport', '', 'KY');
INSERT INTO xt_objects VALUES (2006, '旧跟进报表', 'JxEdit.oReport', '', 'KY');
INSERT INTO xt_objects VALUES (2007, '跟进查询', 'JxEdit.oquery', '', 'KY');
INSERT INTO xt_objects VALUES (3001, '合同登记', 'JxEdit.oedit', '', 'JY');
INSERT INTO xt_objects VALUES (3002, '佣金结算', 'JxEdit.oedit', '', 'JY');
INSERT INTO xt_objects VALUES (3003, '成交报表', 'JxEdit.oReport', '/s', 'JY');
INSERT INTO xt_objects VALUES (3004, '业绩排行', 'JxEdit.oReport', '/s', 'JY');
INSERT INTO xt_objects VALUES (3005, '合同查询', 'JxEdit.oquery', '', 'JY');
INSERT INTO xt_objects VALUES (3006, '佣金查询', 'JxEdit.oquery', '', 'JY');
INSERT INTO xt_objects VALUES (4003, '数据备份', 'jxBackup.BackupManager', '', 'XT');
INSERT INTO xt_objects VALUES (4004, '经纪人', 'JxEdit.oedit', '/s', 'XT');
INSERT INTO xt_objects VALUES (4005, '经纪人查询', 'JxEdit.oquery', '', 'XT');
INSERT INTO xt_objects VALUES (4006, '区域', 'JxEdit.oedit', '/s', 'XT');
INSERT INTO xt_objects VALUES (4007, '区域查询', 'JxEdit.oquery', '', 'XT');
INSERT INTO xt_objects VALUES (4010, '用户与权限', 'JxEdit.oedit', '', 'XT');
INSERT INTO xt_objects VALUES (5001, '房贷计算器', 'jxTools.calcTool', 'frmGfzc', 'GJ');
INSERT INTO xt_objects VALUES (5002, '税费计算器', 'jxTools.calcTool', 'frmShuifei', 'GJ');
INSERT INTO xt_objects VALUES (100027, '插件管理', '', '', 'XT');

INSERT INTO sysdatabase VALUES ('001', '安居房产经纪有限公司', 'Anju Realty Agency Co., Ltd.', '房地产经纪',
  '杭州市西湖区文三路100号', '100 Wensan Road, Hangzhou', '6222 0000 1234 5678', '文三路营业部',
  '杭州市西湖区文三路100号2楼', 'service@anju.example', '330100000000000', '0571-88880001', '0571-88880000', '张安居');

-- Users get their password hashes from the demo-db tool (demo/users.txt).
INSERT INTO jx_user (usercode, username, pwhash, isadmin, active) VALUES ('0001', 'admin', '', 1, 1);
INSERT INTO jx_user (usercode, username, pwhash, isadmin, rolecode, active) VALUES ('0002', 'clerk', '', 0, 'agent', 1);
INSERT INTO jx_user (usercode, username, pwhash, isadmin, active) VALUES ('0003', 'former', '', 0, 0);

-- The clerk runs listings, customers and tools, but not transactions or system functions.
INSERT INTO jx_right VALUES ('0002', 1001, 1);
INSERT INTO jx_right VALUES ('0002', 1002, 1);
INSERT INTO jx_right VALUES ('0002', 1003, 1);
INSERT INTO jx_right VALUES ('0002', 1005, 1);
INSERT INTO jx_right VALUES ('0002', 2001, 1);
INSERT INTO jx_right VALUES ('0002', 2002, 1);
INSERT INTO jx_right VALUES ('0002', 2004, 1);
INSERT INTO jx_right VALUES ('0002', 5001, 1);
INSERT INTO jx_right VALUES ('0002', 5002, 1);

-- Roles. An agent registers and changes his own listings, customers and
-- follow-ups, prints and exports their lists (other agents' phones masked),
-- and reads the agents and districts; he signs no contracts and settles no
-- commissions. Bits: 1 run, 2 add, 4 change, 8 delete, 16 export, 32 print,
-- 64 every phone, 128 other agents' records.
INSERT INTO jx_role VALUES ('agent', '经纪人');
INSERT INTO jx_role VALUES ('manager', '店长');
INSERT INTO jx_roleright VALUES ('agent', 1001, 39);
INSERT INTO jx_roleright VALUES ('agent', 1002, 49);
INSERT INTO jx_roleright VALUES ('agent', 1003, 33);
INSERT INTO jx_roleright VALUES ('agent', 1004, 33);
INSERT INTO jx_roleright VALUES ('agent', 1005, 39);
INSERT INTO jx_roleright VALUES ('agent', 2001, 39);
INSERT INTO jx_roleright VALUES ('agent', 2002, 49);
INSERT INTO jx_roleright VALUES ('agent', 2003, 33);
INSERT INTO jx_roleright VALUES ('agent', 2004, 39);
INSERT INTO jx_roleright VALUES ('agent', 2005, 33);
INSERT INTO jx_roleright VALUES ('agent', 2007, 49);
INSERT INTO jx_roleright VALUES ('agent', 4005, 1);
INSERT INTO jx_roleright VALUES ('agent', 4007, 1);
INSERT INTO jx_roleright VALUES ('agent', 5001, 1);
INSERT INTO jx_roleright VALUES ('agent', 5002, 1);
INSERT INTO jx_roleright VALUES ('manager', 1001, 255);
INSERT INTO jx_roleright VALUES ('manager', 1002, 255);
INSERT INTO jx_roleright VALUES ('manager', 2001, 255);
INSERT INTO jx_roleright VALUES ('manager', 2002, 255);
INSERT INTO jx_roleright VALUES ('manager', 2004, 255);
INSERT INTO jx_roleright VALUES ('manager', 2007, 255);
INSERT INTO jx_roleright VALUES ('manager', 3001, 255);
INSERT INTO jx_roleright VALUES ('manager', 3002, 255);
INSERT INTO jx_roleright VALUES ('manager', 3003, 255);
INSERT INTO jx_roleright VALUES ('manager', 3004, 255);
INSERT INTO jx_roleright VALUES ('manager', 3005, 255);
INSERT INTO jx_roleright VALUES ('manager', 3006, 255);

INSERT INTO jx_option VALUES (12, 'menubm', 0, '22222');
INSERT INTO jx_option VALUES (12, 'loginuserstyle', 0, '2');
INSERT INTO jx_option VALUES (12, 'period', 1, '2026-12');
INSERT INTO jx_option VALUES (38, 'loginusercount', 0, '5');

INSERT INTO jx_optiongroup VALUES (12, 'XT');
INSERT INTO jx_optiongroup VALUES (38, 'XT');

INSERT INTO jx_systemstate VALUES ('FY', 202612);
INSERT INTO jx_systemstate VALUES ('KY', 202612);
INSERT INTO jx_systemstate VALUES ('JY', 202611);
INSERT INTO jx_systemstate VALUES ('XT', 202612);
INSERT INTO jx_systemstate VALUES ('GJ', 0);

INSERT INTO jx_text VALUES ('main', '/login/cmdok', '登录(&D)');
INSERT INTO jx_text VALUES ('main', '/login/cmdcancel', '取消(&C)');
INSERT INTO jx_text VALUES ('main', '/login/hint', '演示用户：admin / admin123，clerk / clerk123');
INSERT INTO jx_text VALUES ('main', '/login/remember', '保存密码');
INSERT INTO jx_text VALUES ('main', '/mdimain/statusbar/prompt', '【安居房产】');

-- The manager's overview (经营概况, kind 104 "JxEdit.ooverview"). A manager
-- (bit 128, 处理他人记录, on it) sees the team; an agent his own figures.
INSERT INTO xt_menu VALUES ('0307', '经营概况', 'JY', '03', 2, 7, 1, 1, 104, 3010, 0, '');
INSERT INTO xt_objects VALUES (3010, '经营概况', 'JxEdit.ooverview', '', 'JY');
INSERT INTO jx_roleright VALUES ('manager', 3010, 255);
INSERT INTO jx_roleright VALUES ('agent', 3010, 1);

-- Offers and counter-offers (出价, 还价). An agent registers his customers'
-- offers and reads the list; accepting one signs a contract, so that takes
-- the contract right (3001) too.
INSERT INTO xt_menu VALUES ('0311', '出价登记', 'JY', '03', 2, 11, 1, 1, 100, 5011, 0, '');
INSERT INTO xt_menu VALUES ('0312', '出价查询', 'JY', '03', 2, 12, 1, 1, 103, 5012, 0, '');
INSERT INTO xt_objects VALUES (5011, '出价登记', 'JxEdit.oedit', '', 'JY');
INSERT INTO xt_objects VALUES (5012, '出价查询', 'JxEdit.oquery', '', 'JY');
INSERT INTO jx_right VALUES ('0002', 5011, 1);
INSERT INTO jx_right VALUES ('0002', 5012, 1);
INSERT INTO jx_roleright VALUES ('agent', 5011, 39);
INSERT INTO jx_roleright VALUES ('agent', 5012, 49);
INSERT INTO jx_roleright VALUES ('manager', 5011, 255);
INSERT INTO jx_roleright VALUES ('manager', 5012, 255);

-- Viewings (带看), beside the follow-ups: the record, its list and the agenda
-- (kind 106 "JxEdit.oagenda"). A manager (bit 128 on the agenda) sees the
-- team's agenda; an agent his own.
INSERT INTO xt_menu VALUES ('020405', '带看登记', 'KY', '0204', 3, 5, 1, 1, 100, 6001, 0, '');
INSERT INTO xt_menu VALUES ('020406', '带看查询', 'KY', '0204', 3, 6, 1, 1, 103, 6002, 0, '');
INSERT INTO xt_menu VALUES ('020407', '带看日程', 'KY', '0204', 3, 7, 1, 1, 106, 6003, 0, '');
INSERT INTO xt_objects VALUES (6001, '带看登记', 'JxEdit.oedit', '', 'KY');
INSERT INTO xt_objects VALUES (6002, '带看查询', 'JxEdit.oquery', '', 'KY');
INSERT INTO xt_objects VALUES (6003, '带看日程', 'JxEdit.oagenda', '', 'KY');
INSERT INTO jx_right VALUES ('0002', 6001, 1);
INSERT INTO jx_right VALUES ('0002', 6002, 1);
INSERT INTO jx_right VALUES ('0002', 6003, 1);
INSERT INTO jx_roleright VALUES ('agent', 6001, 39);
INSERT INTO jx_roleright VALUES ('agent', 6002, 49);
INSERT INTO jx_roleright VALUES ('agent', 6003, 1);
INSERT INTO jx_roleright VALUES ('manager', 6001, 255);
INSERT INTO jx_roleright VALUES ('manager', 6002, 255);
INSERT INTO jx_roleright VALUES ('manager', 6003, 255);

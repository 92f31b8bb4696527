-- Sample races for trying the workstation: a half marathon with split points, a relay and
-- an ekiden.
-- Load with scripts/localdb.sh sample DIR (after the schema). The file is UTF-8; the server
-- stores the text in Shift-JIS.
SET NAMES utf8mb4;

-- The races start shortly before they are loaded, so that the first times the device (or the
-- simulator, which sends the clock's time) gives are recorded: the half marathon and the
-- relays half an hour before, the 10 km ten minutes after the half marathon.
SET @race_start = DATE_FORMAT(NOW() - INTERVAL 30 MINUTE, '%H:%i:00.0000');
SET @ten_k_start = DATE_FORMAT(NOW() - INTERVAL 20 MINUTE, '%H:%i:00.0000');

INSERT INTO tiki (tcode, syumoku, TIKIMEI) VALUES
    ('202612061', '01', '第12回 みなと湾岸ハーフマラソン'),
    ('202612062', '10', '市民駅伝大会 2026'),
    ('202612063', '10', 'みなと湾岸駅伝 2026');

-- Half marathon: splits at 5 km, 10 km and 15 km for the half, two for the 10 km race.
INSERT INTO env (tcode, class, lapn, RELAYN) VALUES
    ('202612061', 'HM男子', 3, 0),
    ('202612061', 'HM女子', 3, 0),
    ('202612061', '10K', 2, 0);

INSERT INTO result (tcode, zek, bib, class1, status, startedtime)
SELECT '202612061', LPAD(seq, 4, '0'), CAST(seq AS CHAR),
       CASE WHEN seq <= 20 THEN 'HM男子' WHEN seq <= 35 THEN 'HM女子' ELSE '10K' END,
       '', IF(seq <= 35, @race_start, @ten_k_start)
FROM seq_1_to_45;

-- Relay: class A has four legs, class B three.
INSERT INTO env (tcode, class, lapn, RELAYN) VALUES
    ('202612062', '一般A', 0, 4),
    ('202612062', '中学B', 0, 3);

INSERT INTO result (tcode, zek, bib, class1, status)
SELECT '202612062', LPAD(100 + seq, 4, '0'), CAST(100 + seq AS CHAR),
       IF(seq <= 8, '一般A', '中学B'), 'A'
FROM seq_1_to_12;

INSERT INTO relaymember (tcode, zek, num, class1, startedtime, status)
SELECT '202612062', LPAD(100 + t.seq, 4, '0'), CAST(l.seq AS CHAR),
       IF(t.seq <= 8, '一般A', '中学B'),
       IF(l.seq = 1, @race_start, ''), IF(l.seq = 1, 'T', 'S')
FROM seq_1_to_12 t JOIN seq_1_to_4 l
WHERE l.seq <= IF(t.seq <= 8, 4, 3);

-- Ekiden: the general class runs six legs, the company teams ten.
INSERT INTO env (tcode, class, lapn, RELAYN) VALUES
    ('202612063', '一般', 0, 6),
    ('202612063', '実業団', 0, 10);

INSERT INTO result (tcode, zek, bib, class1, status)
SELECT '202612063', LPAD(200 + seq, 4, '0'), CAST(200 + seq AS CHAR),
       IF(seq <= 8, '一般', '実業団'), 'A'
FROM seq_1_to_12;

INSERT INTO relaymember (tcode, zek, num, class1, startedtime, status)
SELECT '202612063', LPAD(200 + t.seq, 4, '0'), CAST(l.seq AS CHAR),
       IF(t.seq <= 8, '一般', '実業団'),
       IF(l.seq = 1, @race_start, ''), IF(l.seq = 1, 'T', 'S')
FROM seq_1_to_12 t JOIN seq_1_to_10 l
WHERE l.seq <= IF(t.seq <= 8, 6, 10);

INSERT INTO execinfo (num, tcode, updx, stat) VALUES (1, '202612061', 0, '');

INSERT INTO midtp2 (tpno1, fl) VALUES (1, 'A'), (2, 'B'), (3, 'A');

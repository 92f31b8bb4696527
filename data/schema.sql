-- Race database of the split-time workstation (MariaDB 10.11, MySQL dialect).
-- All text is Shift-JIS. Times are text: a time of day is "HH:MM:SS.ffff", running times are
-- right-aligned display texts; '' means "not set" and NULL is never written.
-- Running this file recreates every table empty.

DROP TABLE IF EXISTS tiki, env, result, relaymember, midjyun, tdc_mid, execinfo, midtp2, midaction, midchange,
    midforced, midtaken;

-- One row per race.
CREATE TABLE tiki (
    tcode   VARCHAR(20)  NOT NULL,
    syumoku VARCHAR(10)  NOT NULL DEFAULT '',   -- '10' is a relay event
    TIKIMEI VARCHAR(100) NOT NULL DEFAULT '',
    PRIMARY KEY (tcode)
) ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci;

-- Settings per race and class.
CREATE TABLE env (
    tcode  VARCHAR(20) NOT NULL,
    class  VARCHAR(20) NOT NULL DEFAULT '',
    lapn   INT         NOT NULL DEFAULT 0,      -- number of split points of the class
    RELAYN INT         NOT NULL DEFAULT 0,      -- number of relay legs of the class
    KEY env_class (tcode, class)
) ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci;

-- One row per competitor or relay team. The suite may hold duplicates, so zek is not unique.
CREATE TABLE result (
    tcode       VARCHAR(20) NOT NULL,
    zek         VARCHAR(10) NOT NULL DEFAULT '',    -- bib, "%.4d"
    bib         VARCHAR(10) NOT NULL DEFAULT '',    -- bib as registered
    class1      VARCHAR(20) NOT NULL DEFAULT '',
    status      VARCHAR(2)  NOT NULL DEFAULT '',
    startedtime VARCHAR(20) NOT NULL DEFAULT '',
    midtime1    VARCHAR(20) NOT NULL DEFAULT '',
    midtime2    VARCHAR(20) NOT NULL DEFAULT '',
    midtime3    VARCHAR(20) NOT NULL DEFAULT '',
    midtime4    VARCHAR(20) NOT NULL DEFAULT '',
    midtime5    VARCHAR(20) NOT NULL DEFAULT '',
    midfin1     VARCHAR(20) NOT NULL DEFAULT '',
    midfin2     VARCHAR(20) NOT NULL DEFAULT '',
    midfin3     VARCHAR(20) NOT NULL DEFAULT '',
    midfin4     VARCHAR(20) NOT NULL DEFAULT '',
    midfin5     VARCHAR(20) NOT NULL DEFAULT '',
    midst2      VARCHAR(20) NOT NULL DEFAULT '',
    midst3      VARCHAR(20) NOT NULL DEFAULT '',
    midst4      VARCHAR(20) NOT NULL DEFAULT '',
    midst5      VARCHAR(20) NOT NULL DEFAULT '',
    finishtime  VARCHAR(20) NOT NULL DEFAULT '',
    runtime     VARCHAR(20) NOT NULL DEFAULT '',
    KEY result_zek (tcode, zek),
    KEY result_bib (tcode, bib),
    -- The split lists order by "midfinN desc, zek"; MariaDB uses an index for a mixed
    -- order only when the index declares the same directions.
    KEY result_midfin1 (tcode, midfin1 DESC, zek),
    KEY result_midfin2 (tcode, midfin2 DESC, zek),
    KEY result_midfin3 (tcode, midfin3 DESC, zek),
    KEY result_midfin4 (tcode, midfin4 DESC, zek),
    KEY result_midfin5 (tcode, midfin5 DESC, zek),
    KEY result_runtime (tcode, runtime)
) ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci;

-- One row per leg of a relay team.
CREATE TABLE relaymember (
    tcode       VARCHAR(20) NOT NULL,
    zek         VARCHAR(10) NOT NULL DEFAULT '',
    num         VARCHAR(4)  NOT NULL DEFAULT '',    -- leg "1" .. "4"
    class1      VARCHAR(20) NOT NULL DEFAULT '',
    startedtime VARCHAR(20) NOT NULL DEFAULT '',
    finishtime  VARCHAR(20) NOT NULL DEFAULT '',
    runtime     VARCHAR(20) NOT NULL DEFAULT '',
    status      VARCHAR(2)  NOT NULL DEFAULT '',
    KEY relaymember_zek (tcode, zek, num),
    KEY relaymember_leg (tcode, num, finishtime)
) ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci;

-- Passing log: one row per accepted split.
CREATE TABLE midjyun (
    tcode VARCHAR(20) NOT NULL,
    bib   VARCHAR(10) NOT NULL DEFAULT '',      -- zek without its first character
    mtime VARCHAR(20) NOT NULL DEFAULT '',
    tod   VARCHAR(20) NOT NULL DEFAULT '',
    KEY midjyun_tod (tcode, tod DESC),
    KEY midjyun_bib (tcode, bib, tod)
) ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci;

-- Every time stamp of the timing device. id keeps the order of arrival among stamps that
-- now() gives the same second; sumi must default to '0' (pending), the insert leaves it out.
-- jid is the workstation's journal id of the stamp: an insert repeated after a lost answer
-- or a crash finds it taken and stores nothing twice.
CREATE TABLE tdc_mid (
    id     BIGINT      NOT NULL AUTO_INCREMENT,
    tcode  VARCHAR(20) NOT NULL DEFAULT '',
    dt     DATETIME    NOT NULL,
    getstr VARCHAR(40) NOT NULL DEFAULT '',
    bib    VARCHAR(10) NOT NULL DEFAULT '',
    st     VARCHAR(4)  NOT NULL DEFAULT '',
    tm     VARCHAR(20) NOT NULL DEFAULT '',
    tstat  VARCHAR(2)  NOT NULL DEFAULT '',
    sumi   VARCHAR(1)  NOT NULL DEFAULT '0',
    zek    VARCHAR(10) NOT NULL DEFAULT '',
    jid    VARCHAR(40) NULL,
    PRIMARY KEY (id),
    UNIQUE KEY tdc_mid_jid (jid),
    -- tstat last: the count of waiting times reads the index alone.
    KEY tdc_mid_pending (tcode, sumi, st, dt, id, tstat),
    KEY tdc_mid_grid (tcode, dt DESC, tm DESC),
    KEY tdc_mid_tm (tcode, tm)
) ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci;

-- The operator actions workstations applied, by the id each journals its action under: an
-- action sent again after a lost answer finds its id taken and is not applied twice.
CREATE TABLE midaction (
    aid   VARCHAR(40) NOT NULL,
    tcode VARCHAR(20) NOT NULL DEFAULT '',
    done  DATETIME    NOT NULL,
    PRIMARY KEY (aid)
) ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci;

-- Forced starts (繰り上げスタート): one row per team and leg started by force, by the action
-- that did it. Kept apart from relaymember and result, whose letters and times the suite's
-- other programs read: a forced leg there is simply running ("T") from its start. The team
-- time of a marked team is the sum of its legs. The program creates the table when missing.
CREATE TABLE midforced (
    tcode       VARCHAR(20) NOT NULL DEFAULT '',
    zek         VARCHAR(10) NOT NULL DEFAULT '',
    leg         VARCHAR(4)  NOT NULL DEFAULT '',    -- the leg started, as relaymember.num
    startedtime VARCHAR(20) NOT NULL DEFAULT '',
    aid         VARCHAR(40) NOT NULL DEFAULT '',    -- the action, as midaction.aid
    KEY midforced_leg (tcode, zek, leg)
) ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci;

-- The stamp each passing took, as the split's action named it: one row per race, bib and split.
-- A passing corrected in the check list no longer has its stamp's time, so a cancel or a
-- cleared split gives back the stamp named here. The program creates the table when missing.
CREATE TABLE midtaken (
    tcode   VARCHAR(20) NOT NULL DEFAULT '',
    zek     VARCHAR(10) NOT NULL DEFAULT '',
    split   VARCHAR(2)  NOT NULL DEFAULT '',    -- 1 to 5
    stampid VARCHAR(20) NOT NULL DEFAULT '',    -- tdc_mid.id, 0 when not yet known
    jid     VARCHAR(40) NOT NULL DEFAULT '',    -- tdc_mid.jid, empty when not known by it
    tm      VARCHAR(20) NOT NULL DEFAULT '',    -- tdc_mid.tm
    KEY midtaken_split (tcode, zek, split)
) ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci;

-- The change list of this program's workstations: every action applied adds the bibs whose
-- rows it changed (an empty zek: the whole race), in the action's own transaction, so each
-- workstation's copy of the race follows the others' by reading what came after the last
-- number it saw. The program creates the table when missing.
CREATE TABLE midchange (
    seq   BIGINT      NOT NULL AUTO_INCREMENT,
    tcode VARCHAR(20) NOT NULL DEFAULT '',
    zek   VARCHAR(10) NOT NULL DEFAULT '',
    PRIMARY KEY (seq),
    KEY midchange_race (tcode, seq)
) ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci;

-- The suite's shared state; row 1 names the race in use and carries the change marker.
CREATE TABLE execinfo (
    num   INT         NOT NULL,
    tcode VARCHAR(20) NOT NULL DEFAULT '',
    updx  INT         NOT NULL DEFAULT 0,       -- tenths of a second since midnight
    stat  VARCHAR(10) NOT NULL DEFAULT '',
    PRIMARY KEY (num)
) ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci;

CREATE TABLE midtp2 (
    tpno1 INT        NOT NULL DEFAULT 0,
    fl    VARCHAR(2) NOT NULL DEFAULT '',
    KEY midtp2_fl (fl)
) ENGINE=InnoDB DEFAULT CHARSET=sjis COLLATE=sjis_japanese_ci;

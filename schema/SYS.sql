/* System database: configuration rows and the queue of update parts.
   Made with DEFAULT CHARACTER SET UTF8 and read as UTF-8, like the data database. */
SET SQL DIALECT 3;
SET NAMES UTF8;

CREATE TABLE HVX (
    ID      INTEGER NOT NULL,
    COM     VARCHAR(250),
    CONSTRAINT PK_HVX PRIMARY KEY (ID)
);

CREATE TABLE HVXUPD (
    ID      INTEGER NOT NULL,
    HSH     VARCHAR(32),
    ST      INTEGER,
    CONSTRAINT PK_HVXUPD PRIMARY KEY (ID)
);

/* How far each update script got: its file name, the MD5 digest of its text, the number of
   its last committed statement. */
CREATE TABLE HVXSCR (
    NAM     VARCHAR(250) NOT NULL,
    HSH     VARCHAR(32),
    STM     INTEGER,
    CONSTRAINT PK_HVXSCR PRIMARY KEY (NAM)
);

/* 1: name part of the update scripts; 3: fingerprint of the last accepted update set;
   4: update state (0 nothing pending); 5 and 6: installation attempts and starts without
   the updater's confirmation, each as "<count> <fingerprint>" (added when first needed). */
INSERT INTO HVX (ID, COM) VALUES (1, '100');
INSERT INTO HVX (ID, COM) VALUES (3, '');
INSERT INTO HVX (ID, COM) VALUES (4, '0');

COMMIT;

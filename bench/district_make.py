# A district at scale built from the demo district's own rows: every new trip, billing row,
# split, crew row and request copies a demo row of its kind and moves it to another date (over
# five years), customer and destination, so the codes keep the demo's spreads (blank and Null
# grades and categories included). Deterministic: the same sizes give the same files.
import os
import shutil
import sqlite3
import subprocess
import time

FIRST_DAY = 44743  # 7/1/2022: five school years up to 6/30/2027
DAYS = 5 * 365
TODAY = 46203  # 6/30/2026: trips before it are done and billed, later ones wait


def columns(db, table):
    return [row[1] for row in db.execute(f'PRAGMA table_info("{table}")')]


def quoted(names):
    return ", ".join(f'"{n}"' for n in names)


def numbered(db, name, select):
    """A temporary table (rn, ...) of a query's rows, rn from 0, for lookups by a hash."""
    db.execute(f"CREATE TEMP TABLE {name} AS SELECT * FROM ({select})")
    db.execute(f"CREATE TEMP TABLE {name}_n AS SELECT row_number() OVER () - 1 AS rn, * FROM {name}")
    db.execute(f"CREATE INDEX temp.{name}_rn ON {name}_n (rn)")
    return db.execute(f"SELECT count(*) FROM {name}_n").fetchone()[0]


def h(expr, k):
    """A cheap deterministic hash of an integer expression, in [0, 2^31)."""
    return f"((({expr}) * {2654435761 + 2 * k} + {40503 * k + 7}) % 2147483647)"


def without_indexes(db):
    """Drops the secondary indexes (rebuilt after the inserts, which is much faster)."""
    rows = db.execute(
        "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL").fetchall()
    for name, _ in rows:
        db.execute(f'DROP INDEX "{name}"')
    return [sql for _, sql in rows]


def fast(db):
    db.execute("PRAGMA journal_mode = OFF")
    db.execute("PRAGMA synchronous = OFF")
    db.execute("PRAGMA cache_size = -400000")
    db.execute("PRAGMA temp_store = MEMORY")


def finish(db, indexes):
    for sql in indexes:
        db.execute(sql)
    db.commit()
    db.execute("PRAGMA journal_mode = WAL")
    db.close()


def make_trips(path, trips):
    db = sqlite3.connect(path, isolation_level=None)
    fast(db)
    db.execute("BEGIN")
    indexes = without_indexes(db)
    all_columns = columns(db, "TRIPS")
    ntemplates = numbered(db, "tmpl", "SELECT * FROM TRIPS ORDER BY TRIPNUM")
    ncust = numbered(db, "cust", "SELECT CUSTOMER FROM CUSTOMER ORDER BY CUSTOMER")
    ndest = numbered(db, "dest", "SELECT DESTINATION FROM DESTINATION ORDER BY DESTINATION")
    first_new = db.execute("SELECT max(TRIPNUM) + 1 FROM TRIPS").fetchone()[0]
    dep = f"({FIRST_DAY} + (s.i * {DAYS}) / {trips} + {h('s.i', 1)} % 61 - 30)"
    varied = {
        "DEPDATE": dep,
        "RETDATE": f"{dep} + coalesce(t.RETDATE - t.DEPDATE, 0)",
        "REQDATE": f"{dep} - 20 - {h('s.i', 2)} % 40",
        "CUSTOMER": "c.CUSTOMER",
        "BILLCUST": f"CASE WHEN {h('s.i', 3)} % 10 = 0 THEN t.BILLCUST ELSE c.CUSTOMER END",
        "DESTINATION": "d.DESTINATION",
        "NUMSTUDENTS": f"10 + {h('s.i', 4)} % 60",
        "NUMADULTS": f"1 + {h('s.i', 5)} % 6",
        "ASSIGNED": f"CASE WHEN {dep} < {TODAY} OR {h('s.i', 6)} % 3 = 0 THEN -1 ELSE 0 END",
        "BILLED": f"CASE WHEN {dep} < {TODAY} - 10 AND {h('s.i', 7)} % 20 <> 0 THEN -1 ELSE 0 END",
        "CANCELED": f"CASE WHEN {h('s.i', 8)} % 25 = 0 THEN -1 ELSE 0 END",
        "BILLDATE": f"CASE WHEN {dep} < {TODAY} - 10 AND {h('s.i', 7)} % 20 <> 0 "
                    f"THEN {dep} + 3 + {h('s.i', 9)} % 7 END",
        "CANDATE": f"CASE WHEN {h('s.i', 8)} % 25 = 0 THEN {dep} - 5 END",
        "TRIPREQNUM": "NULL",
        "AMOUNT1": f"CASE WHEN {h('s.i', 10)} % 8 = 0 THEN 25 + {h('s.i', 11)} % 200 ELSE 0 END",
    }
    names = [c for c in all_columns if c != "TRIPNUM"]
    values = [varied.get(c, f't."{c}"') for c in names]
    db.execute(
        f"WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < {trips}) "
        f"INSERT INTO TRIPS ({quoted(names)}) SELECT {', '.join(values)} FROM s "
        f"JOIN tmpl_n t ON t.rn = {h('s.i', 12)} % {ntemplates} "
        f"JOIN cust_n c ON c.rn = {h('s.i', 13)} % {ncust} "
        f"JOIN dest_n d ON d.rn = {h('s.i', 14)} % {ndest}")
    new = f"TRIPS.TRIPNUM >= {first_new}"
    # Billing: a BIL row for each billed trip, a payment for most, an adjustment for a few.
    db.execute(
        f"INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT, TRANDATE) "
        f"SELECT TRIPNUM, 'BIL', round(120 + {h('TRIPNUM', 15)} % 60000 / 100.0, 2), BILLDATE "
        f"FROM TRIPS WHERE {new} AND BILLED <> 0")
    db.execute(
        f"INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT, TRANDATE) "
        f"SELECT a.TRIPNUM, 'PAY', CASE WHEN {h('a.TRIPNUM', 16)} % 4 = 0 "
        f"THEN round(-a.TRANAMT / 2, 2) ELSE -a.TRANAMT END, a.TRANDATE + 20 "
        f"FROM ARDETAIL a JOIN TRIPS ON TRIPS.TRIPNUM = a.TRIPNUM "
        f"WHERE {new} AND a.TRANCODE = 'BIL' AND {h('a.TRIPNUM', 17)} % 10 < 7")
    db.execute(
        f"INSERT INTO ARDETAIL (TRIPNUM, TRANCODE, TRANAMT, TRANDATE) "
        f"SELECT TRIPNUM, 'ADJ', 15 + {h('TRIPNUM', 18)} % 40, BILLDATE + 5 "
        f"FROM TRIPS WHERE {new} AND BILLED <> 0 AND {h('TRIPNUM', 19)} % 20 = 0")
    # Splits: a fifth of the trips split over two funds, a few over three.
    nfund = numbered(db, "fund", "SELECT FUND FROM FUND ORDER BY FUND")
    for k, share in ((20, 5), (21, 5), (22, 20)):
        db.execute(
            f"INSERT INTO TRIPSPLIT (TRIPNUM, FUND) SELECT TRIPNUM, f.FUND FROM TRIPS "
            f"JOIN fund_n f ON f.rn = {h('TRIPNUM', k)} % {nfund} "
            f"WHERE {new} AND {h('TRIPNUM', 23)} % {share} = 0")
    # Crews: each assigned trip has its driver, a third have a second one.
    ncrew = numbered(db, "crew", "SELECT EMPLOYEE, HOURS, MILES FROM TRIPEMPLOYEES")
    for k, share in ((24, 1), (25, 3)):
        db.execute(
            f"INSERT INTO TRIPEMPLOYEES (TRIPNUM, EMPLOYEE, HOURS, MILES) "
            f"SELECT TRIPNUM, e.EMPLOYEE, e.HOURS, e.MILES FROM TRIPS "
            f"JOIN crew_n e ON e.rn = {h('TRIPNUM', k)} % {ncrew} "
            f"WHERE {new} AND ASSIGNED <> 0 AND {h('TRIPNUM', 26)} % {share} = 0")
    finish(db, indexes)


def make_requests(path, trip_path, requests):
    db = sqlite3.connect(path, isolation_level=None)
    fast(db)
    db.execute(f"ATTACH DATABASE '{trip_path}' AS trip")
    db.execute("BEGIN")
    indexes = without_indexes(db)
    all_columns = columns(db, "TRIPSREQ")
    ntemplates = numbered(db, "tmpl", "SELECT * FROM main.TRIPSREQ ORDER BY TRIPNUM")
    ncust = numbered(db, "cust", "SELECT CUSTOMER, CHAINID FROM trip.CUSTOMER ORDER BY CUSTOMER")
    ndest = numbered(db, "dest", "SELECT DESTINATION, DESTDESC FROM trip.DESTINATION "
                                 "ORDER BY DESTINATION")
    dep = f"({FIRST_DAY} + (s.i * {DAYS}) / {requests} + {h('s.i', 1)} % 61 - 30)"
    # Decided requests in the past; a few still waiting at each level, as a district has.
    waiting = (f"CASE {h('s.i', 3)} % 6 WHEN 0 THEN 'UNAPPROVED' WHEN 1 THEN 'PRINCIPAL APPROVED' "
               f"WHEN 2 THEN 'DIRECTOR APPROVED' WHEN 3 THEN 'ATHLETICS APPROVED' "
               f"WHEN 4 THEN 'Pending' ELSE 'UNAPPROVED' END")
    status = (f"CASE WHEN {h('s.i', 2)} % 400 = 0 THEN {waiting} "
              f"WHEN {h('s.i', 4)} % 9 = 0 THEN 'Denied' ELSE 'ACCEPTED' END")
    varied = {
        "DEPDATE": dep,
        "RETDATE": f"{dep} + coalesce(t.RETDATE - t.DEPDATE, 0)",
        "REQDATE": f"{dep} - 20 - {h('s.i', 5)} % 40 + 0.375",
        "ENTERDATE": f"{dep} - 20 - {h('s.i', 5)} % 40 + 0.375",
        "STATUS_DATE": f"{dep} - 10",
        "STATUS": status,
        "CUSTOMER": "c.CUSTOMER",
        "BILLCUST": "c.CUSTOMER",
        "CHAINID": "c.CHAINID",
        "DESTINATION": "d.DESTINATION",
        "DESTDESC": "d.DESTDESC",
        "NUMSTUDENTS": f"10 + {h('s.i', 6)} % 60",
        "FIELDTRIP_NUM": "NULL",
    }
    names = [c for c in all_columns if c != "TRIPNUM"]
    values = [varied.get(c, f't."{c}"') for c in names]
    db.execute(
        f"WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < {requests}) "
        f"INSERT INTO main.TRIPSREQ ({quoted(names)}) SELECT {', '.join(values)} FROM s "
        f"JOIN tmpl_n t ON t.rn = {h('s.i', 12)} % {ntemplates} "
        f"JOIN cust_n c ON c.rn = {h('s.i', 13)} % {ncust} "
        f"JOIN dest_n d ON d.rn = {h('s.i', 14)} % {ndest}")
    finish(db, indexes)


def make_district(binary, directory, trips, requests):
    """`jaunter demo DIRECTORY`, then the generated rows; returns the seconds it took."""
    started = time.monotonic()
    if os.path.exists(directory):
        shutil.rmtree(directory)
    subprocess.run([binary, "demo", directory], check=True, stdout=subprocess.DEVNULL)
    trip_db = os.path.join(directory, "trip.db")
    make_trips(trip_db, trips)
    make_requests(os.path.join(directory, "Tripschl.db"), trip_db, requests)
    return time.monotonic() - started

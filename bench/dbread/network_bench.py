#!/usr/bin/python3
"""Database mode over a network: tabellix-batch on SQLite, on PostgreSQL direct
and on PostgreSQL behind tools/latency-proxy.py at 1 ms and 10 ms round trip,
documents per second and peak memory side by side in one table.

    bench/dbread/network_bench.py [--count N] [--slow-count M] [--repeat R]
                                  [--nominal-delay] [--connections C]
                                  [--baseline-batch PATH] [--work DIR] [--keep]

--count           documents of the tree and the databases (default 3000)
--slow-count      documents of the 10 ms case (default 300): one connection
                  without a cache needs over 100 ms per document there, so the
                  full count would take minutes; the table marks the smaller count
--repeat          a case is run up to R times (default 3) while a run takes
                  under 10 s, and the fastest run counts: the machine may be
                  shared, and the slow cases would take too long to repeat
--nominal-delay   delay each way exactly half the round trip, without calibration
--connections     connections of the "pool" column (default 4)
--baseline-batch  the tabellix-batch of the "1 connection" column (default:
                  the build's); give a build of the commit before the pool and
                  cache to measure today's behaviour once the build has them
--work            folder for trees, databases and runs (default: a temporary
                  folder, removed at the end unless --keep)

The sample database of tools/sampledb with --count documents teil-NNNNN.par,
a tree of as many documents of that name (links to one generated document),
Select=*, seven mapped fields, three of them r: references (one record
query and three queries per reference: ten per document).

The "1 connection" column runs every case with TABELLIX_DB_CONNECTIONS=1.
The "pool" column (TABELLIX_DB_CONNECTIONS=C) is added by itself once the
build's tabellix-batch reads that variable; until then it would measure the
same program twice, and the output says it is left out.

Round trips are the median time of "select 1" through the same path, timed
by psql (20 queries in one session). Each wake-up of a waiting process costs
some ten microseconds, more on a loaded machine, and a round trip through the
proxy has four more of them than a direct one: with half the round trip as
its delay each way the proxy makes 1 ms into some 1.3 ms. So the delay is
calibrated: the proxy is restarted with the delay corrected by the excess
until psql measures the round trip within 5 % (at most four tries, the
closest counts); the table shows the delay used and the round trip measured.

Documents per second are over the wall time of the whole run, start-up,
connection and the workbook included; peak memory is GNU time's maximum
resident set size. Every workbook of PostgreSQL is compared byte for byte
(cmp) with the direct run of the same tree in the same column.

Needs a build (tools/build.sh; TBX_BUILD_DIR as there), PostgreSQL
(tools/pgtest.sh starts a throwaway server on 127.0.0.1 and stops it at the
end), psql and GNU time at /usr/bin/time.
"""
import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.path.abspath(os.environ.get("TBX_BUILD_DIR", os.path.join(ROOT, "build")))
BATCH = os.path.join(BUILD, "app", "tabellix-batch")
SAMPLEGEN = os.path.join(BUILD, "tools", "tbx-samplegen")
PGTEST = os.path.join(ROOT, "tools", "pgtest.sh")
PROXY = os.path.join(ROOT, "tools", "latency-proxy.py")
SAMPLEDB = os.path.join(ROOT, "tools", "sampledb", "sampledb.py")
GNU_TIME = "/usr/bin/time"
POOL_VARIABLE = "TABELLIX_DB_CONNECTIONS"
REPEAT_UNDER_SECONDS = 10.0
CALIBRATION_TRIES = 4
CALIBRATION_TOLERANCE = 0.05

MAPPING = ["DOC_NR", "TITEL", "REVISION", "GEWICHT", "r:BEARBEITER", "r:PRUEFER", "r:MATERIAL"]
REFERENCES = sum(f.startswith("r:") for f in MAPPING)


def fail(text):
    print("network_bench: " + text, file=sys.stderr)
    sys.exit(1)


def make_tree(folder, count, document):
    os.makedirs(folder)
    for i in range(1, count + 1):
        os.link(document, os.path.join(folder, "teil-%05d.par" % i))


def config_text(tree, odbc):
    mapping = "\n".join("%s=%s" % (chr(ord("C") + i), field) for i, field in enumerate(MAPPING))
    return ("[Config]\nPattern=par\nKopfzeile=ja\n"
            "[Pfade]\nSourceDir=%s\nExcelFile=Liste.xls\n"
            "[SQL]\nDoSQL=ja\nSelect=*\nFrom=ulvo.documents\nWhere=FILE_NAME='%%Id'\n"
            "[ODBC]\n%s\n[SQLMapProperties]\n%s\n" % (tree, odbc, mapping))


def read_env_file(path):
    """The variables tools/pgtest.sh wrote, read by the shell that the file is written for."""
    names = ["TBX_PG_PORT", "TBX_PG_DATABASE", "TBX_PG_USER", "TBX_PG_PASSWORD"]
    out = subprocess.run(["bash", "-c", '. "$1" && for v in "${@:2}"; do printf "%s\\0" "${!v}"; done', "_",
                          path] + names, check=True, capture_output=True).stdout
    return dict(zip(names, out.decode().split("\0")))


class Server:
    """The throwaway PostgreSQL server and the proxies in front of it."""

    def __init__(self, work, count):
        self.env_file = os.path.join(work, "pgtest.env")
        self.work = work
        self.proxies = []
        if subprocess.run(["bash", PGTEST, "start", self.env_file, str(count)]).returncode != 0:
            fail("no PostgreSQL server (tools/pgtest.sh start)")
        self.pg = read_env_file(self.env_file)
        self.port = int(self.pg["TBX_PG_PORT"])

    def odbc(self, port):
        return "Provider=PostgreSQL\nDataSource=127.0.0.1:%d\nDatabase=%s\nUsername=%s\nPassword=%s" % (
            port, self.pg["TBX_PG_DATABASE"], self.pg["TBX_PG_USER"], self.pg["TBX_PG_PASSWORD"])

    def start_proxy(self, delay_ms):
        with open(os.path.join(self.work, "proxy-%d.log" % len(self.proxies)), "w") as log:
            proxy = subprocess.Popen([sys.executable, PROXY, "--target", "127.0.0.1:%d" % self.port,
                                      "--delay-ms", "%.4f" % delay_ms, "--max-seconds", "7200"],
                                     stdout=subprocess.PIPE, stderr=log)
        self.proxies.append(proxy)
        line = proxy.stdout.readline()
        if not line.strip().isdigit():
            fail("the latency proxy did not start, see %s" % log.name)
        return proxy, int(line)

    def stop_proxy(self, proxy):
        proxy.terminate()
        proxy.wait()
        proxy.stdout.close()

    def round_trip_ms(self, port, probes=20):
        """Median time of "select 1" in one psql session, its first query left out (it warms the session)."""
        script = "\\timing on\n" + "select 1;\n" * (probes + 1)
        r = subprocess.run(["psql", "-X", "-q", "-At", "-h", "127.0.0.1", "-p", str(port),
                            "-U", self.pg["TBX_PG_USER"], "-d", self.pg["TBX_PG_DATABASE"]],
                           input=script.encode(), capture_output=True,
                           env=dict(os.environ, PGPASSWORD=self.pg["TBX_PG_PASSWORD"], LC_ALL="C"))
        times = [float(line.split()[1]) for line in r.stdout.decode().splitlines() if line.startswith("Time: ")]
        if r.returncode != 0 or len(times) != probes + 1:
            fail("psql could not time a query on port %d: %s" % (port, r.stderr.decode(errors="replace")))
        return statistics.median(times[1:])

    def proxy_for(self, round_trip, calibrate):
        """A proxy whose round trip psql measures as round_trip ms: (port, delay each way, measured)."""
        delay, best = round_trip / 2, None
        for _ in range(CALIBRATION_TRIES if calibrate else 1):
            proxy, port = self.start_proxy(delay)
            measured = self.round_trip_ms(port)
            excess = measured - round_trip
            if best is None or abs(excess) < abs(best[3] - round_trip):
                if best:
                    self.stop_proxy(best[0])
                best = (proxy, port, delay, measured)
            else:
                self.stop_proxy(proxy)
            if abs(excess) <= CALIBRATION_TOLERANCE * round_trip:
                break
            delay = max(0.0, delay - excess / 2)
        return best[1:]

    def stop(self):
        for proxy in self.proxies:
            if proxy.poll() is None:
                self.stop_proxy(proxy)
        subprocess.run(["bash", PGTEST, "stop", self.env_file])


def gnu_time_figures(path):
    figures = {}
    with open(path) as f:
        for line in f:
            key, _, value = line.strip().rpartition(": ")
            figures[key] = value
    wall = 0.0
    for part in figures["Elapsed (wall clock) time (h:mm:ss or m:ss)"].split(":"):
        wall = wall * 60 + float(part)
    return wall, int(figures["Maximum resident set size (kbytes)"]) / 1024


def run_once(folder, batch, env):
    """One run of tabellix-batch in folder (fresh workbook and log); (wall s, peak MB, rows written)."""
    for f in os.listdir(folder):
        if f.startswith(("Liste", "Protokoll_")):
            os.remove(os.path.join(folder, f))
    time_file = os.path.join(folder, "time.txt")
    r = subprocess.run([GNU_TIME, "-v", "-o", time_file, batch, os.path.join(folder, "ZireVuz.ini")],
                       env=dict(os.environ, LANG="de_DE.UTF-8", LC_ALL="de_DE.UTF-8", **env),
                       stdin=subprocess.DEVNULL, capture_output=True)
    if r.returncode != 0:
        fail("tabellix-batch failed in %s (status %d):\n%s" % (folder, r.returncode,
                                                               r.stderr.decode(errors="replace")))
    rows = [line.split()[-1] for line in r.stdout.decode(errors="replace").splitlines()
            if line.startswith("Geschriebene Zeilen")]
    wall, peak = gnu_time_figures(time_file)
    return wall, peak, int(rows[0]) if rows else -1


def measure(folder, batch, env, documents, repeat):
    """The fastest of up to repeat runs; that run's workbook is kept as fastest.xls."""
    best = None
    for _ in range(repeat):
        wall, peak, rows = run_once(folder, batch, env)
        if rows != documents:
            fail("%s: %d rows written for %d documents" % (folder, rows, documents))
        if best is None or wall < best[0]:
            best = (wall, peak)
            shutil.copyfile(os.path.join(folder, "Liste.xls"), os.path.join(folder, "fastest.xls"))
        if wall >= REPEAT_UNDER_SECONDS:
            break
    return {"rate": documents / max(best[0], 0.001), "peak": best[1],
            "workbook": os.path.join(folder, "fastest.xls")}


def same_file(a, b):
    status = subprocess.run(["cmp", "-s", a, b]).returncode
    if status > 1:
        fail("cannot compare %s with %s" % (a, b))
    return status == 0


def load_average():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def knows_pool(batch):
    with open(batch, "rb") as f:
        return POOL_VARIABLE.encode() in f.read()


def columns_to_run(args):
    """What each column of the table runs: (label, program, environment)."""
    columns = [("1 connection", args.baseline_batch, {POOL_VARIABLE: "1"})]
    if not knows_pool(BATCH):
        print("note: column \"pool\" left out: %s does not read %s yet" % (BATCH, POOL_VARIABLE))
        return columns
    columns.append(("pool of %d" % args.connections, BATCH, {POOL_VARIABLE: str(args.connections)}))
    if args.baseline_batch == BATCH:
        print("note: the build has the pool; its \"1 connection\" column is one connection of the new program."
              " Give --baseline-batch a build without pool and cache for today's behaviour.")
    return columns


def print_table(args, columns, cases, results):
    print()
    print("Database mode, Select=*, %d mapped fields (%d references: %d queries per document)" % (
        len(MAPPING), REFERENCES, 1 + 3 * REFERENCES))
    head = "%-30s %12s %11s %9s" % ("", "delay/way", "round trip", "documents")
    for column, _, _ in columns:
        head += " | %-21s" % (column + ": docs/s, peak")
    print(head)
    for case in cases:
        if not case["shown"]:
            continue
        line = "%-30s %12s %11s %8d%s" % (case["label"], case["delay"], case["trip"], case["n"],
                                           "*" if case["n"] != args.count else " ")
        for c in range(len(columns)):
            r = results[(c, case["key"])]
            line += " | %7.0f %8.1f MB   " % (r["rate"], r["peak"])
        print(line)
    if args.slow_count != args.count:
        print("* %d documents instead of %d, to keep the run short" % (args.slow_count, args.count))
    for c, (column, _, _) in enumerate(columns):
        for case in cases:
            if case["reference"]:
                same = same_file(results[(c, case["key"])]["workbook"], results[(c, case["reference"])]["workbook"])
                print("%s, %s: workbook %s the direct run's (%d documents, cmp)" % (
                    column, case["label"], "identical to" if same else "DIFFERENT from", case["n"]))
    if len(columns) > 1:
        for case in cases:
            if case["shown"]:
                same = same_file(results[(0, case["key"])]["workbook"], results[(1, case["key"])]["workbook"])
                print("%s: workbook of the pool %s the one connection's (cmp)" % (
                    case["label"], "identical to" if same else "DIFFERENT from"))
    for column, batch, env in columns:
        print("%s: %s, %s" % (column, " ".join("%s=%s" % kv for kv in env.items()), batch))
    print("documents/s over the wall time of the whole run; peak memory: maximum resident set size (GNU time)")
    print("load average before and after: %s / %s (%d cores); a loaded machine wakes waiting processes late,"
          " which slows the proxied cases most" % (args.load_before, load_average(), os.cpu_count()))


def main():
    p = argparse.ArgumentParser(description="Database mode over a network: documents/s and peak memory.")
    p.add_argument("--count", type=int, default=3000)
    p.add_argument("--slow-count", type=int, default=300)
    p.add_argument("--repeat", type=int, default=3)
    p.add_argument("--nominal-delay", action="store_true")
    p.add_argument("--connections", type=int, default=4)
    p.add_argument("--baseline-batch", default=BATCH)
    p.add_argument("--work")
    p.add_argument("--keep", action="store_true")
    args = p.parse_args()
    if not 1 <= args.slow_count <= args.count <= 1000000 or args.repeat < 1 or args.connections < 2:
        p.error("need 1 <= --slow-count <= --count <= 1000000, --repeat >= 1, --connections >= 2")
    for tool in (BATCH, args.baseline_batch, SAMPLEGEN, GNU_TIME):
        if not os.access(tool, os.X_OK):
            fail("missing %s (build first: tools/build.sh)" % tool)
    if not shutil.which("psql"):
        fail("missing psql (apt-get install postgresql)")
    columns = columns_to_run(args)
    args.load_before = load_average()

    work = os.path.abspath(args.work) if args.work else tempfile.mkdtemp(prefix="tbx-network-bench.")
    os.makedirs(work, exist_ok=True)
    server = None
    # SIGTERM ends the run through the clean-up below, as Ctrl-C does.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        print("== preparing in %s" % work, flush=True)
        document = os.path.join(work, "one.par")
        subprocess.run([SAMPLEGEN, "document", document, "--kind", "par"], check=True, capture_output=True)
        trees = {}
        for n in sorted({args.count, args.slow_count}):
            trees[n] = os.path.join(work, "tree-%d" % n)
            make_tree(trees[n], n, document)
        sqlite_db = os.path.join(work, "sample.db")
        subprocess.run([sys.executable, SAMPLEDB, "--sqlite", sqlite_db, "--count", str(args.count)], check=True,
                       capture_output=True)
        server = Server(work, args.count)

        def case(key, label, n, odbc, delay="-", trip="-", shown=True, reference=None):
            return {"key": key, "label": label, "n": n, "odbc": odbc, "delay": delay, "trip": trip,
                    "shown": shown, "reference": reference}

        cases = [
            case("sqlite", "SQLite", args.count,
                 "Provider=SQLite\nDataSource=%s\nDatabase=ulvo\nUsername=leser\nPassword=lesen" % sqlite_db),
            case("direct", "PostgreSQL direct", args.count, server.odbc(server.port),
                 trip="%.2f ms" % server.round_trip_ms(server.port)),
        ]
        if args.slow_count != args.count:
            # The direct workbook the 10 ms case is compared with.
            cases.append(case("direct-slow", "PostgreSQL direct", args.slow_count, server.odbc(server.port),
                              shown=False))
        for key, label, round_trip, n in (("1ms", "PostgreSQL, 1 ms round trip", 1.0, args.count),
                                          ("10ms", "PostgreSQL, 10 ms round trip", 10.0, args.slow_count)):
            print("== proxy for %s" % label, flush=True)
            port, delay, measured = server.proxy_for(round_trip, not args.nominal_delay)
            cases.append(case(key, label, n, server.odbc(port), "%.3f ms" % delay, "%.2f ms" % measured,
                              reference="direct" if n == args.count else "direct-slow"))

        results = {}
        for c, (column, batch, env) in enumerate(columns):
            for k in cases:
                folder = os.path.join(work, "run-%d-%s" % (c, k["key"]))
                os.makedirs(folder, exist_ok=True)
                with open(os.path.join(folder, "ZireVuz.ini"), "w", encoding="utf-8") as f:
                    f.write(config_text(trees[k["n"]], k["odbc"]))
                print("== %s: %s, %d documents" % (column, k["label"], k["n"]), flush=True)
                results[(c, k["key"])] = measure(folder, batch, env, k["n"], args.repeat)
        print_table(args, columns, cases, results)
    finally:
        if server:
            server.stop()
        if not args.work and not args.keep:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()

"""End-to-end table of scripts/bench: the converter against the floor (bare read and write) and
against the limit writer (ready rows to both tables, flushed), medians of 3 interleaved runs."""
import os
import statistics
import subprocess
import sys

bin_dir, work, sizes = os.path.abspath(sys.argv[1]), sys.argv[2], [int(s) for s in sys.argv[3:]]
RUNS = 3


def timed(argv, cwd):
    """Wall seconds, user+sys seconds and peak resident MB of one run, by GNU time."""
    stats = os.path.join(work, "time.txt")
    subprocess.run(["/usr/bin/time", "-o", stats, "-f", "%e %U %S %M"] + argv, cwd=cwd,
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall, user, system, rss = open(stats).read().split()[-4:]
    return float(wall), float(user) + float(system), int(rss) / 1024


rows = []
for n in sizes:
    folder = os.path.join(work, str(n))
    out = os.path.join(folder, "out")
    os.makedirs(out)
    subprocess.run([os.path.join(bin_dir, "k2l_gen_reports"), str(n), folder], check=True)
    article, stock = os.path.join(folder, "ARTICLE.TXT"), os.path.join(folder, "PRINT.TXT")
    convert = [os.path.join(bin_dir, "kelva2larmis-convert"), "--out", out, "--quiet"]
    subprocess.run(convert, cwd=folder, check=True, stdout=subprocess.DEVNULL)
    sizes_out = [os.path.getsize(os.path.join(out, f)) for f in ("Справочник.dbf", "Приходы.dbf")]
    floor = [os.path.join(bin_dir, "k2l_floor"), article, stock, os.path.join(folder, "f1"),
             str(sizes_out[0]), os.path.join(folder, "f2"), str(sizes_out[1])]
    rows_file = os.path.join(folder, "rows.tsv")
    subprocess.run([os.path.join(bin_dir, "k2l_ready_rows"), folder, rows_file], check=True)
    limit = [os.path.join(bin_dir, "k2l_limit"), rows_file, os.path.join(folder, "l1.dbf"),
             os.path.join(folder, "l2.dbf")]
    conv_runs, floor_runs, limit_runs = [], [], []
    for _ in range(RUNS):  # interleaved, so all see the same machine state
        conv_runs.append(timed(convert, folder))
        floor_runs.append(timed(floor, folder))
        limit_runs.append(timed(limit, folder))
    med = lambda runs, i: statistics.median(r[i] for r in runs)
    rows.append((n, med(conv_runs, 0), med(conv_runs, 1), med(conv_runs, 2), med(floor_runs, 0),
                 med(floor_runs, 1), med(floor_runs, 2),
                 os.path.getsize(article) + os.path.getsize(stock), med(limit_runs, 0),
                 med(limit_runs, 1), os.getloadavg()[0]))
    for f in os.listdir(folder):
        if f not in ("out",):
            os.remove(os.path.join(folder, f)) if os.path.isfile(os.path.join(folder, f)) else None

# Wall times are medians of interleaved runs; "cpu" is user + system time. On a busy machine the
# wall ratio also holds waiting for a core, so the CPU ratio is printed beside it.
print(f"{'articles':>9} {'input MB':>8} {'conv s':>7} {'cpu s':>6} {'peak MB':>8} "
      f"{'floor s':>8} {'cpu s':>6} {'floor MB':>8} {'conv/floor':>10} {'cpu ratio':>9} "
      f"{'t(N)/t(N/10)':>12} {'limit s':>8} {'cpu s':>6} {'conv/limit':>10} {'load':>5}")
def ratio(a, b):
    """a / b, or "-" where b is below GNU time's 10 ms resolution and the ratio would mean nothing."""
    return f"{a / b:.2f}" if b >= 0.01 else "-"


previous = None
for (n, wall, cpu, rss, floor_wall, floor_cpu, floor_rss, input_bytes, limit_wall, limit_cpu,
     load) in rows:
    growth = ratio(wall, previous) if previous else "-"
    print(f"{n:>9} {input_bytes / 1e6:>8.1f} {wall:>7.3f} {cpu:>6.2f} {rss:>8.1f} "
          f"{floor_wall:>8.3f} {floor_cpu:>6.2f} {floor_rss:>8.1f} "
          f"{ratio(wall, floor_wall):>10} {ratio(cpu, floor_cpu):>9} {growth:>12} "
          f"{limit_wall:>8.3f} {limit_cpu:>6.2f} {ratio(wall, limit_wall):>10} {load:>5.2f}")
    previous = wall

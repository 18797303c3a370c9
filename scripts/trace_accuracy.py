#!/usr/bin/python3
"""How exactly the tracer follows the edges of clip-art, beside potrace.

A fixed set of drawings from Debian's openclipart-svg is rendered with rsvg-convert at 1024
pixels on the long side, and again four times finer for the truth. Each render becomes a grey
picture (the tracer's own weights) that both tracers get: trace_bench (QUORINIMAGE_TRACE_SET)
traces it with the dialog's defaults at Otsu's threshold, one picture pixel a surface pixel,
times the trace and writes the paths; potrace, run as a separate program, traces it at the same
threshold and its curves are flattened at 0.5 px. The true edge is where the fine render's grey
crosses the same threshold (scikit-image's find_contours).

For every picture: the distance of the traced lines from the true edge (sampled every 0.1 px
along them; mean and 95th percentile), the bias (mean signed distance, negative inside the
dark region), the vertices, the share of the true edge farther than 1 px from any traced line,
and the processor time (user and system: the machine may be shared). The table gives the
medians over the pictures.

Needs: potrace openclipart-svg librsvg2-bin python3-numpy python3-scipy python3-skimage.

    scripts/trace_accuracy.py --bench build/bench/trace_bench [--bench-before OTHER]
                              [--work /tmp/trace-accuracy] [--count 60]
"""

import argparse
import json
import math
import os
import re
import resource
import statistics
import subprocess
import sys

import numpy as np
from scipy.ndimage import map_coordinates
from scipy.spatial import cKDTree
from skimage.io import imread
from skimage.measure import find_contours

CLIPART = "/usr/share/openclipart/svg"
SIDE = 1024
FINE = 4
FLATNESS = 0.5  # potrace's curves flattened to within this, pixels
SAMPLE = 0.1  # spacing of the samples along a traced line, pixels


def grey(path):
    rgb = imread(path)[..., :3].astype(np.int64)
    return ((rgb[..., 0] * 299 + rgb[..., 1] * 587 + rgb[..., 2] * 114 + 500) // 1000).astype(
        np.uint8)


def write_pgm(path, g):
    with open(path, "wb") as f:
        f.write(b"P5\n%d %d\n255\n" % (g.shape[1], g.shape[0]))
        f.write(g.tobytes())


def render(svg, out, width, height):
    size = ["-w", str(width)] if width else ["-h", str(height)]
    r = subprocess.run(["rsvg-convert", *size, "-a", "-b", "white", "-o", out, svg],
                       capture_output=True, timeout=120)
    return r.returncode == 0 and os.path.exists(out)


def choose(work, count):
    """The first `count` drawings, taken at an even stride through the sorted list, that
    render and have a fair share of dark (between 2 and 80 % below the middle grey)."""
    files = sorted(
        os.path.join(d, f) for d, _, fs in os.walk(CLIPART) for f in fs if f.endswith(".svg"))
    stride = max(1, len(files) // (count * 3))
    chosen = []
    for i in range(0, len(files), stride):
        if len(chosen) == count:
            break
        svg = files[i]
        if os.path.getsize(svg) > 400_000:
            continue
        name = "%04d_%s" % (i, os.path.basename(svg)[:-4][:40])
        pgm = os.path.join(work, name + ".pgm")
        fine = os.path.join(work, name + ".fine.npy")
        if not (os.path.exists(pgm) and os.path.exists(fine)):
            png = os.path.join(work, "render.png")
            if not render(svg, png, SIDE, 0):
                continue
            g = grey(png)
            wide = g.shape[1] >= g.shape[0]
            if not wide and not render(svg, png, 0, SIDE):
                continue
            g = grey(png)
            if min(g.shape) < 64:
                continue
            dark = np.mean(g < 128)
            if not 0.02 <= dark <= 0.8:
                continue
            if not render(svg, png, SIDE * FINE if wide else 0, 0 if wide else SIDE * FINE):
                continue
            np.save(fine, grey(png))
            write_pgm(pgm, g)
        chosen.append(name)
    return chosen


def read_ours(path):
    threshold = None
    paths = []
    with open(path) as f:
        lines = f.read().split("\n")
    i = 0
    while i < len(lines):
        words = lines[i].split()
        i += 1
        if not words:
            continue
        if words[0] == "threshold":
            threshold = int(words[1])
            continue
        n = int(words[1])
        pts = np.array([[float(v) for v in lines[i + k].split()] for k in range(n)]).reshape(-1, 2)
        i += n
        paths.append((pts, words[0] == "closed"))
    return threshold, paths


T = np.linspace(0, 1, 17)[1:-1, None]


def flatten_cubic(p0, p1, p2, p3, out, tol, depth=0):
    """Appends the curve's end points of chords, halving it until every chord is within tol
    of its piece of the curve."""
    curve = ((1 - T) ** 3 * p0 + 3 * (1 - T) ** 2 * T * p1 + 3 * (1 - T) * T ** 2 * p2 +
             T ** 3 * p3)
    d = p3 - p0
    l2 = float(d @ d)
    u = np.clip(((curve - p0) @ d) / l2, 0, 1)[:, None] if l2 > 0 else np.zeros((len(T), 1))
    off = np.hypot(*(curve - (p0 + u * d)).T).max()
    if off <= tol or depth > 16:
        out.append(p3)
        return
    a = (p0 + p1) / 2
    b = (p1 + p2) / 2
    c = (p2 + p3) / 2
    ab = (a + b) / 2
    bc = (b + c) / 2
    m = (ab + bc) / 2
    flatten_cubic(p0, a, ab, m, out, tol, depth + 1)
    flatten_cubic(m, bc, c, p3, out, tol, depth + 1)


def read_potrace_svg(text, height, tol):
    """potrace's SVG paths as closed polylines in picture coordinates, curves flattened to
    within tol."""
    m = re.search(r"translate\(([-\d.]+),([-\d.]+)\) scale\(([-\d.]+),([-\d.]+)\)", text)
    tx, ty, sx, sy = (float(v) for v in m.groups())
    paths = []
    for d in re.findall(r'<path d="([^"]*)"', text, re.S):
        tokens = re.findall(r"[MmLlCcZz]|-?[\d.]+(?:e-?\d+)?", d)
        pos = np.zeros(2)
        start = np.zeros(2)
        cur = []
        cmd = None
        i = 0

        def number():
            nonlocal i
            v = float(tokens[i])
            i += 1
            return v

        while i < len(tokens):
            t = tokens[i]
            if t.isalpha():
                cmd = t
                i += 1
                if cmd in "Zz":
                    if len(cur) > 1:
                        paths.append(cur)
                    cur = []
                    pos = start.copy()
                    continue
            rel = cmd.islower()
            if cmd in "Mm":
                p = np.array([number(), number()]) + (pos if rel else 0)
                if len(cur) > 1:
                    paths.append(cur)
                cur = [p]
                pos = start = p
                cmd = "l" if rel else "L"
            elif cmd in "Ll":
                p = np.array([number(), number()]) + (pos if rel else 0)
                cur.append(p)
                pos = p
            elif cmd in "Cc":
                c = [np.array([number(), number()]) + (pos if rel else 0) for _ in range(3)]
                flatten_cubic(pos, c[0], c[1], c[2], cur, tol / abs(sx))
                pos = c[2]
        if len(cur) > 1:
            paths.append(cur)
    out = []
    for p in paths:
        a = np.array(p)
        a = np.column_stack([tx + a[:, 0] * sx, ty + a[:, 1] * sy])
        if np.allclose(a[0], a[-1]):
            a = a[:-1]
        out.append((a, True))
    return out


def densify(line, spacing):
    """Points at most `spacing` apart along a polyline, its last point excluded."""
    d = np.hypot(*(line[1:] - line[:-1]).T)
    n = np.maximum(1, np.ceil(d / spacing)).astype(np.int64)
    seg = np.repeat(np.arange(len(d)), n)
    first = np.repeat(np.cumsum(n) - n, n)
    t = ((np.arange(n.sum()) - first) / np.repeat(n, n))[:, None]
    return line[seg] + t * (line[seg + 1] - line[seg])


def samples(paths):
    pts = []
    vertices = 0
    for p, closed in paths:
        vertices += len(p)
        q = np.vstack([p, p[:1]]) if closed and len(p) > 1 else p
        if len(q) > 1:
            pts.append(densify(q, SAMPLE))
        if not closed or len(q) == 1:
            pts.append(q[-1:])
    return (np.vstack(pts) if pts else np.zeros((0, 2))), vertices


def truth(fine, level):
    """The true edge as dense points in picture coordinates, with each point's outline."""
    padded = np.pad(fine.astype(np.float64), 1, constant_values=255)
    pts = []
    for c in find_contours(padded, level):
        # find_contours gives (row, column) at pixel centres of the padded fine picture.
        xy = np.column_stack([(c[:, 1] - 1 + 0.5) / FINE, (c[:, 0] - 1 + 0.5) / FINE])
        pts.append(np.vstack([densify(xy, 0.05), xy[-1:]]) if len(xy) > 1 else xy)
    return np.vstack(pts) if pts else np.zeros((0, 2))


def measure(paths, fine, level, edge, edge_tree):
    pts, vertices = samples(paths)
    if len(pts) == 0:
        return None
    dist, _ = edge_tree.query(pts)
    # Inside the dark region where the fine grey there is below the level.
    g = map_coordinates(fine.astype(np.float64),
                        [pts[:, 1] * FINE - 0.5, pts[:, 0] * FINE - 0.5], order=1, mode="nearest")
    signed = np.where(g < level, -dist, dist)
    missed, _ = cKDTree(pts).query(edge, distance_upper_bound=1.0)
    return {
        "mean": float(np.mean(dist)),
        "p95": float(np.percentile(dist, 95)),
        "bias": float(np.mean(signed)),
        "vertices": vertices,
        "missed": float(np.mean(np.isinf(missed))),
    }


def run_bench(bench, work):
    out = os.path.join(work, "bench.json")
    env = dict(os.environ, QUORINIMAGE_TRACE_SET=work, QT_QPA_PLATFORM="offscreen")
    subprocess.run([bench, "--benchmark_filter=ClipArt", "--benchmark_format=json",
                    "--benchmark_out=" + out, "--benchmark_out_format=json",
                    "--benchmark_min_time=0.5"],
                   env=env, check=True, stdout=subprocess.DEVNULL)
    times = {}
    for b in json.load(open(out))["benchmarks"]:
        kind, name = b["name"].split("/", 1)
        times.setdefault(name, {})[kind] = b["cpu_time"]
    return times


def potrace_time(args, repeat=5):
    """The median processor time (user and system) of `repeat` runs, ms."""
    runs = []
    for _ in range(repeat):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        subprocess.run(args, check=True, stdout=subprocess.DEVNULL)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        runs.append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
    return statistics.median(runs) * 1000


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bench", required=True, help="trace_bench of the build to measure")
    ap.add_argument("--bench-before", help="trace_bench of the build to compare with")
    ap.add_argument("--work", default="/tmp/trace-accuracy")
    ap.add_argument("--count", type=int, default=60)
    ap.add_argument("--details", help="a JSON file for the figures of every picture")
    ap.add_argument("--first", type=int, help="measure only the first this many of the set")
    a = ap.parse_args()
    os.makedirs(a.work, exist_ok=True)
    names = choose(a.work, a.count)[:a.first]
    print("%d pictures" % len(names), file=sys.stderr)
    # Only the chosen pictures are traced by the benchmark: a folder of links to them.
    chosen = os.path.join(a.work, "set")
    os.makedirs(chosen, exist_ok=True)
    for f in os.listdir(chosen):
        os.remove(os.path.join(chosen, f))
    for name in names:
        os.symlink(os.path.join(a.work, name + ".pgm"), os.path.join(chosen, name + ".pgm"))

    tracers = [("after", a.bench)] + ([("before", a.bench_before)] if a.bench_before else [])
    figures = {}
    for label, bench in tracers:
        times = run_bench(bench, chosen)
        for name in names:
            figures.setdefault(name, {})[label] = {
                "paths": read_ours(os.path.join(chosen, name + ".ours.txt")),
                "trace": times[name]["BM_ClipArtTrace"],
                "prepare": times[name]["BM_ClipArtPrepare"],
            }

    # potrace's start-up, taken off its times: a one-pixel picture.
    empty = os.path.join(a.work, "empty.pgm")
    write_pgm(empty, np.full((1, 1), 255, np.uint8))
    startup = potrace_time(["potrace", "-b", "svg", "-o", "/dev/null", empty], 21)

    rows = {}
    for name in names:
        pgm = os.path.join(a.work, name + ".pgm")
        fine = np.load(os.path.join(a.work, name + ".fine.npy"))
        threshold = figures[name]["after"]["paths"][0]
        level = threshold - 0.5
        edge = truth(fine, level)
        if len(edge) == 0:
            continue
        tree = cKDTree(edge)
        svg = os.path.join(a.work, name + ".potrace.svg")
        args = ["potrace", "-b", "svg", "-u", "100", "-k", "%.6f" % (level / 255), "-o", svg, pgm]
        elapsed = potrace_time(args) - startup
        text = open(svg).read()
        height = fine.shape[0] / FINE
        row = {}
        for label, _ in tracers:
            f = figures[name][label]
            m = measure(f["paths"][1], fine, level, edge, tree)
            if m is None:
                continue
            m.update(trace=f["trace"], prepare=f["prepare"])
            row[label] = m
        row["potrace"] = measure(read_potrace_svg(text, height, FLATNESS), fine, level, edge, tree)
        row["potrace"]["trace"] = elapsed
        curves = measure(read_potrace_svg(text, height, 0.01), fine, level, edge, tree)
        row["potrace curves"] = curves
        rows[name] = row

    columns = [c for c in ["before", "after", "potrace", "potrace curves"]
               if any(c in r for r in rows.values())]

    def median(col, key):
        v = [r[col][key] for r in rows.values() if col in r and r[col] and key in r[col]]
        return statistics.median(v) if v else float("nan")

    print("%d pictures at %d px, medians" % (len(rows), SIDE))
    print("| | " + " | ".join(columns) + " |")
    print("|---" * (len(columns) + 1) + "|")
    print("| mean / 95th pct distance, px | " + " | ".join(
        "%.3f / %.3f" % (median(c, "mean"), median(c, "p95")) for c in columns) + " |")
    print("| bias, px | " + " | ".join("%+.3f" % median(c, "bias") for c in columns) + " |")
    print("| vertices | " + " | ".join("%.0f" % median(c, "vertices") for c in columns) + " |")
    print("| true edge missed by > 1 px | " + " | ".join(
        "%.2f %%" % (100 * median(c, "missed")) for c in columns) + " |")
    print("| trace time, ms | " + " | ".join(
        "%.2f" % median(c, "trace") if c != "potrace curves" else "" for c in columns) + " |")
    print("| prepare + Otsu, ms | " + " | ".join(
        "%.2f" % median(c, "prepare") if c in ("before", "after") else "" for c in columns) +
          " |")
    if "after" in columns:
        ratios = [r["after"]["trace"] / r["potrace"]["trace"] for r in rows.values()
                  if "after" in r and r["potrace"]["trace"] > 0]
        print("\nmedian ratio of our trace time to potrace's: %.3f" % statistics.median(ratios))
        wins = sum(1 for r in rows.values()
                   if "after" in r and r["after"]["mean"] <= r["potrace"]["mean"])
        print("pictures where ours is at least as close as potrace (flattened): %d of %d" %
              (wins, len(rows)))
    print("potrace start-up taken off its times: %.2f ms" % startup)
    if a.details:
        with open(a.details, "w") as f:
            json.dump(rows, f, indent=1)


if __name__ == "__main__":
    main()

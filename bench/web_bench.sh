#!/usr/bin/env bash
# The game in a web browser against the native game, in one run: the race frame in Debian's
# chromium, timed by the page itself (each frame's work from the game's resuming after a display
# frame to its present, bench/web_bench.mjs), beside the same span natively (race_bench's
# BM_RaceFrameAsThePageTimesIt), both paced at 60 frames a second, at drawing scale 1, with the
# menu's middle settings and Up held from the grid, for 2400 race frames (40 s of racing; each half
# is also shown on its own: in the first the browser is still compiling the race's code into its
# faster tier); five rounds, each on the track of its own seed (1 to 5: the page is given its
# code), the two sides of each running at the same time, so that both meet whatever else the
# machine does then (goal: the browser's median at most 1.2 times the native one, the median of
# the rounds' ratios over their whole 2400 frames); when the page was ready to play,
# from a local server (goal: within 2 s); and what a player downloads, compressed as the server
# sends it: the page and the game with the scale-1 pictures (goal: at most 1 MB), and each larger
# scale's pictures.
# Needs the browser build and the browser: scripts/web.sh --tests (or scripts/web.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
chromium=$(command -v chromium || true)
if [[ ! -f build/web/index.html || ! -d build/web-test/node_modules/puppeteer-core || -z "$chromium" ]]; then
    echo "web_bench.sh: the browser build, chromium or puppeteer-core is missing;" \
         "scripts/web.sh --tests makes them" >&2
    exit 1
fi
cmake --preset release >/dev/null
cmake --build --preset release --target race_bench vantor-track -- -j2 >/dev/null

results=$(mktemp -d)
python3 scripts/web_serve.py build/web 0 >"$results/server.txt" &
server=$!
trap 'kill $server; rm -rf "$results"' EXIT
until grep -q Serving "$results/server.txt"; do sleep 0.2; done
address=$(sed -n 's/.* at \(http:[^ ]*\)$/\1/p' "$results/server.txt")

for round in 1 2 3 4 5; do
    # The page takes about three seconds to reach its race.
    (sleep 3 && build/release/bench/race_bench --benchmark_filter="BM_RaceFrameAsThePageTimesIt/$round/" \
        --benchmark_format=json --benchmark_out="$results/native-$round.json" \
        --benchmark_out_format=json >/dev/null) &
    native=$!
    # The page races the native round's track: its seed with the middle settings, by its code.
    code=$(build/release/tools/vantor-track --code "$round" 1,1,1,1,1,1)
    node bench/web_bench.mjs "${address}?track=$code" build/web-test "$chromium" 1 \
        >"$results/web-$round.json"
    wait $native
done

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); load average $(cut -d' ' -f1-3 /proc/loadavg) after the run; $("$chromium" --version 2>/dev/null)"
python3 - "$results" build/web <<'PY'
import json, os, statistics, sys
results, web = sys.argv[1], sys.argv[2]
rounds = (1, 2, 3, 4, 5)
native = [json.load(open(f"{results}/native-{r}.json"))["benchmarks"][0] for r in rounds]
page = [json.load(open(f"{results}/web-{r}.json")) for r in rounds]

def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]

native_median = [run["median_us"] / 1000 for run in native]
native_p99 = [run["p99_us"] / 1000 for run in native]
web_median = [statistics.median(run["frames"]) for run in page]
web_p99 = [percentile(run["frames"], 0.99) for run in page]
ratios = [w / n for w, n in zip(web_median, native_median)]
# The halves: the first 1200 frames and the rest.
halves = {
    "first": ([statistics.median(run["frames"][:1200]) for run in page],
              [run["first_median_us"] / 1000 for run in native]),
    "later": ([statistics.median(run["frames"][1200:]) for run in page],
              [run["later_median_us"] / 1000 for run in native]),
}
ready = [ms for run in page for ms in run["ready"]]
print("| race frame at scale 1 | median ms | p99 ms | frames | rounds' medians ms |")
print("|---|---|---|---|---|")
print(f"| native (race_bench) | {statistics.median(native_median):.3f} | "
      f"{statistics.median(native_p99):.3f} | {sum(int(r['frames']) for r in native)} | "
      + ", ".join(f"{m:.3f}" for m in native_median) + " |")
print(f"| chromium (the page's own timing) | {statistics.median(web_median):.3f} | "
      f"{statistics.median(web_p99):.3f} | {sum(len(r['frames']) for r in page)} | "
      + ", ".join(f"{m:.3f}" for m in web_median) + " |")
ratio = statistics.median(ratios)
print(f"| chromium / native (median of the rounds) | {ratio:.2f}x | | | "
      + ", ".join(f"{r:.2f}x" for r in ratios) + f" | goal <= 1.2x: {'met' if ratio <= 1.2 else 'NOT met'}")
for name, label in (("first", "race frames 1-1200"), ("later", "race frames 1201-2400")):
    web_half, native_half = halves[name]
    half_ratios = [w / n for w, n in zip(web_half, native_half)]
    print(f"| {label}: chromium / native | {statistics.median(half_ratios):.2f}x | | | "
          + ", ".join(f"{r:.2f}x" for r in half_ratios) + " |")
print()
print(f"page ready to play (first frame, from loading the page): median "
      f"{statistics.median(ready):.0f} ms, slowest {max(ready):.0f} ms of {len(ready)} loads; "
      f"goal <= 2000 ms: {'met' if max(ready) <= 2000 else 'NOT met'}")
print()

def size(name):
    return os.path.getsize(os.path.join(web, name))
print("| download | compressed KB | as files KB |")
print("|---|---|---|")
first = ["index.html", "vantor.js", "vantor.wasm", "gfx.tar"]
for name in first:
    print(f"| {name} | {size(name + '.gz') / 1000:.0f} | {size(name) / 1000:.0f} |")
wasm_pictures = size("vantor.wasm.gz") + size("gfx.tar.gz")
print(f"| the page at scale 1, all four | {sum(size(n + '.gz') for n in first) / 1000:.0f} | "
      f"{sum(size(n) for n in first) / 1000:.0f} |")
for scale in (2, 3, 4):
    name = f"gfx-{scale}x.tar"
    if os.path.exists(os.path.join(web, name)):
        print(f"| {name} (fetched when a canvas first draws at scale {scale}) | "
              f"{size(name + '.gz') / 1000:.0f} | {size(name) / 1000:.0f} |")
print(f"\nwasm + scale-1 pictures compressed: {wasm_pictures / 1e6:.2f} MB; goal <= 1 MB: "
      f"{'met' if wasm_pictures <= 1e6 else 'NOT met'}")
PY

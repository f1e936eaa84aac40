"""Turns Google Benchmark's JSON output into the table of BENCH.md."""
import json
import platform
import statistics
import sys


def cpu_name():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown"


def main(paths):
    runs = []
    for path in paths:
        with open(path) as f:
            runs.append(json.load(f))
    data = runs[0]
    # every repetition of every process, by case; each case's numbers are the medians of those
    samples = {}
    for run in runs:
        for b in run["benchmarks"]:
            if b.get("run_type") == "iteration":
                samples.setdefault(b["run_name"], []).append(b)
    median = {}
    for name, reps in samples.items():
        m = dict(reps[0])
        for key in ("real_time", "compute_ns", "floor_ns", "ratio"):
            if key in m:
                m[key] = statistics.median(r[key] for r in reps)
        median[name] = m
    ns = lambda b: b["real_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
    print("# Benchmarks\n")
    ctx = data["context"]
    reps = next((b.get("repetitions") for b in data["benchmarks"] if b.get("repetitions")), "?")
    print(f"Machine: {cpu_name()}, {ctx['num_cpus']} cores at {ctx['mhz_per_cpu']} MHz "
          f"(`scripts/bench.sh`: {len(runs)} processes of {reps} repetitions each, medians over all, "
          f"{ctx['date'][:10]}).\n")
    print("`computeHistogram` on a 3840 x 2160 float RGB image through the stand-in host's image list,")
    print("against its floor: `imageSize` and one `imagePixelRGB` per sampled pixel and pass through")
    print("the same function pointers, doing nothing else. The host's `imagePixelRGB` is a bounds check")
    print("and an indexed read of three floats (its call count for the tests is off). The two are timed in turns within every")
    print("iteration, so that a drift of the machine's speed falls on both. Times are per sampled")
    print("pixel of one pass; the ratio is the median of the repetitions' ratios. The floor's speed")
    print("depends on where the stack and the images land in memory, so it varies from process to process.\n")

    def table(avx2, quick_modes):
        print("| image | mode | QuickHisto | samples per pass | one computation | computeHistogram | floor | ratio |")
        print("|---|---|---|---:|---:|---:|---:|---:|")
        for image, image_name in ((0, "photo-like HDR"), (1, "uniform -0.1 .. 1.4")):
            for ldr in (0, 1):
                for quick in quick_modes:
                    c = median.get(f"computeHistogramCase/image:{image}/ldr:{ldr}/quick:{quick}/avx2:{avx2}")
                    if not c:
                        continue
                    samples = c["samples"]
                    print(f"| {image_name} | {'LDR' if ldr else 'HDR'} | {'on' if quick else 'off'} | {int(samples)} | "
                          f"{c['compute_ns'] * samples / 1e6:.3f} ms | {c['compute_ns']:.2f} ns | "
                          f"{c['floor_ns']:.2f} ns | {c['ratio']:.2f} |")

    table(1, (0, 1))
    print("\nThe pre-scan and the binning take AVX2 steps where the processor has it (as here). With the")
    print("SSE2 steps only, as on a processor without AVX2:\n")
    table(0, (0,))
    print("\nFor scale, the same 310-bin histogram straight from the float array, no host calls:\n")
    for image, image_name in ((0, "photo-like HDR"), (1, "uniform -0.1 .. 1.4")):
        r = median.get(f"inMemoryReference/image:{image}")
        if r:
            print(f"- {image_name}: {ns(r) / r['samples']:.2f} ns per pixel")
    p = median.get("paintView")
    if p:
        print(f"\nOne paint (`drawView` and `glFinish`) on the offscreen llvmpipe context: {ns(p) / 1e6:.3f} ms.")


if __name__ == "__main__":
    main(sys.argv[1:])

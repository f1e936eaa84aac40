"""Turns Google Benchmark's JSON output into the table of BENCH.md."""
import json
import platform
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


def main(path):
    with open(path) as f:
        data = json.load(f)
    median = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") == "median":
            median[b["run_name"]] = b
    ns = lambda b: b["real_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
    print("# Benchmarks\n")
    ctx = data["context"]
    runs = next((b.get("repetitions") for b in data["benchmarks"] if b.get("repetitions")), "?")
    print(f"Machine: {cpu_name()}, {ctx['num_cpus']} cores at {ctx['mhz_per_cpu']} MHz "
          f"(`scripts/bench.sh`, median of {runs} runs each, {ctx['date'][:10]}).\n")
    print("`computeHistogram` on a 3840 x 2160 float RGB image through the stand-in host's image list,")
    print("against its floor: `imageSize` and one `imagePixelRGB` per sampled pixel and pass through")
    print("the same function pointers, doing nothing else. Times are per sampled pixel of one pass.\n")
    print("| image | mode | QuickHisto | samples per pass | one computation | computeHistogram | floor | ratio |")
    print("|---|---|---|---:|---:|---:|---:|---:|")
    for image, image_name in ((0, "photo-like HDR"), (1, "uniform -0.1 .. 1.4")):
        for ldr in (0, 1):
            for quick in (0, 1):
                key = f"image:{image}/ldr:{ldr}/quick:{quick}"
                c, f = median.get(f"computeHistogramCase/{key}"), median.get(f"hostCallFloor/{key}")
                if not c or not f:
                    continue
                samples = c["samples"]
                cn, fn = ns(c) / samples, ns(f) / samples
                print(f"| {image_name} | {'LDR' if ldr else 'HDR'} | {'on' if quick else 'off'} | {int(samples)} | "
                      f"{ns(c) / 1e6:.3f} ms | {cn:.2f} ns | {fn:.2f} ns | {cn / fn:.2f} |")
    rows = []
    for image, image_name in ((0, "photo-like HDR"), (1, "uniform -0.1 .. 1.4")):
        for ldr in (0, 1):
            key = f"image:{image}/ldr:{ldr}/quick:0"
            c, f = median.get(f"computeHistogramSse2Case/{key}"), median.get(f"hostCallFloor/{key}")
            if c and f:
                cn, fn = ns(c) / c["samples"], ns(f) / f["samples"]
                rows.append(f"| {image_name} | {'LDR' if ldr else 'HDR'} | off | {ns(c) / 1e6:.3f} ms | "
                            f"{cn:.2f} ns | {fn:.2f} ns | {cn / fn:.2f} |")
    if rows:
        print("\nThe pre-scan and the binning take AVX2 steps where the processor has it (as here). With the")
        print("SSE2 steps only, as on a processor without AVX2:\n")
        print("| image | mode | QuickHisto | one computation | computeHistogram | floor | ratio |")
        print("|---|---|---|---:|---:|---:|---:|")
        print("\n".join(rows))
    print("\nFor scale, the same 310-bin histogram straight from the float array, no host calls:\n")
    for image, image_name in ((0, "photo-like HDR"), (1, "uniform -0.1 .. 1.4")):
        r = median.get(f"inMemoryReference/image:{image}")
        if r:
            print(f"- {image_name}: {ns(r) / r['samples']:.2f} ns per pixel")
    p = median.get("paintView")
    if p:
        print(f"\nOne paint (`drawView` and `glFinish`) on the offscreen llvmpipe context: {ns(p) / 1e6:.3f} ms.")


if __name__ == "__main__":
    main(sys.argv[1])

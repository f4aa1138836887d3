#!/usr/bin/python3
"""Prints the benchmark's table from what scripts/bench measured.

Usage: scripts/bench-report.py SIZES_FILE MEASUREMENTS_FILE

SIZES_FILE has a line "SIZE DOCUMENT_BYTES SOLUC_RECORDS" per size; MEASUREMENTS_FILE a line
"SIZE STEP RUN MICROSECONDS PEAK_KIB" per timed command. A run's floor is the sum of the times of
its floor steps and the largest of their peaks, taken run by run, so that a run and its floor
measured side by side stay paired; the table shows the median of the runs.
"""

import statistics
import sys
from collections import defaultdict

TIME_RATIO_TARGET = 2.0
GROWTH_TARGET = 1.1
MEMORY_MARGIN_MIB = 32

# (title, the run's step, its floor's steps)
RUNS = [
    ("Conversión (velmora-cli convert) frente a su suelo (xmllint --noout del documento)",
     "convert", ["convert-floor"]),
    ("Resultados (velmora-cli results) frente a su suelo (cat de SOLUC.DBF + xmllint --noout "
     "del documento + xmllint --output del resultado)",
     "results", ["results-floor-soluc", "results-floor-document", "results-floor-result"]),
]
SHORT_NAMES = {"convert": "conversión", "results": "resultados"}


def number(value, decimals=2):
    return f"{value:.{decimals}f}".replace(".", ",")


def read_sizes(path):
    sizes = {}
    with open(path) as lines:
        for line in lines:
            size, document_bytes, records = line.split()
            sizes[int(size)] = (int(document_bytes), int(records))
    return sizes


def read_measurements(path):
    """{(size, step): {run: (seconds, peak MiB)}}"""
    measured = defaultdict(dict)
    with open(path) as lines:
        for line in lines:
            size, step, run, microseconds, peak_kib = line.split()
            measured[(int(size), step)][int(run)] = (int(microseconds) / 1e6, int(peak_kib) / 1024)
    return measured


def medians(measured, size, step, floor_steps):
    """Median (time, peak) of the run and of its floor at one size."""
    runs = sorted(measured[(size, step)])
    floors = [
        (sum(measured[(size, s)][run][0] for s in floor_steps),
         max(measured[(size, s)][run][1] for s in floor_steps))
        for run in runs
    ]
    mine = [measured[(size, step)][run] for run in runs]
    return (statistics.median(t for t, _ in mine), statistics.median(m for _, m in mine),
            statistics.median(t for t, _ in floors), statistics.median(m for _, m in floors))


def ratio(value, base):
    return value / base if base > 0 else float("inf")


def verdict(met):
    return "cumple (PASS)" if met else "no cumple (MISS)"


def print_run_table(title, sizes, figures):
    print(title)
    print(f"{'tamaño':>6} {'documento MB':>12} {'registros SOLUC':>15} {'tiempo s':>9} "
          f"{'suelo s':>8} {'razón':>7} {'pico MiB':>9} {'suelo MiB':>9} {'diferencia MiB':>14}")
    for size in sorted(sizes):
        document_bytes, records = sizes[size]
        time, peak, floor_time, floor_peak = figures[size]
        print(f"{size:>6} {number(document_bytes / 1e6):>12} {records:>15} "
              f"{number(time, 3):>9} {number(floor_time, 3):>8} "
              f"{number(ratio(time, floor_time), 1):>7} {number(peak, 1):>9} "
              f"{number(floor_peak, 1):>9} {number(peak - floor_peak, 1):>14}")
    print()


def print_growth(sizes, figures_by_run):
    smallest, largest = min(sizes), max(sizes)
    if largest == smallest:
        return
    print(f"Crecimiento del tiempo del tamaño {smallest} al {largest} "
          f"(trabajo: {number(largest / smallest, 1)} veces más):")
    for step, figures in figures_by_run.items():
        growth = ratio(figures[largest][0], figures[smallest][0])
        floor_growth = ratio(figures[largest][2], figures[smallest][2])
        print(f"  {SHORT_NAMES[step]:<11} tiempo {number(growth, 1)} veces, "
              f"suelo {number(floor_growth, 1)} veces")
    print()


def print_targets(sizes, figures_by_run):
    smallest, largest = min(sizes), max(sizes)
    work = largest / smallest
    print("Objetivos (solo informativos):")
    for step, figures in figures_by_run.items():
        name = SHORT_NAMES[step]
        time, peak, floor_time, floor_peak = figures[largest]
        times_floor = ratio(time, floor_time)
        print(f"  {name}, tamaño {largest}: tiempo {number(times_floor, 1)} veces el suelo "
              f"(objetivo: como mucho {number(TIME_RATIO_TARGET, 1)}): "
              f"{verdict(times_floor <= TIME_RATIO_TARGET)}")
        extra = peak - floor_peak
        print(f"  {name}, tamaño {largest}: pico de memoria {number(extra, 1)} MiB sobre el "
              f"del suelo (objetivo: como mucho {MEMORY_MARGIN_MIB} MiB): "
              f"{verdict(extra <= MEMORY_MARGIN_MIB)}")
        if largest == smallest:
            print(f"  {name}: el crecimiento del tiempo necesita al menos dos tamaños.")
            continue
        growth = ratio(time, figures[smallest][0])
        print(f"  {name}, del tamaño {smallest} al {largest}: el tiempo crece "
              f"{number(growth, 1)} veces con {number(work, 1)} veces más trabajo, "
              f"{number(growth / work)} veces el crecimiento del trabajo (objetivo: como mucho "
              f"{number(GROWTH_TARGET, 1)}): {verdict(growth <= GROWTH_TARGET * work)}")


def main():
    if len(sys.argv) != 3:
        sys.exit("Uso: bench-report.py ARCHIVO_DE_TAMAÑOS ARCHIVO_DE_MEDIDAS")
    sizes = read_sizes(sys.argv[1])
    measured = read_measurements(sys.argv[2])
    figures_by_run = {}
    for title, step, floor_steps in RUNS:
        figures = {size: medians(measured, size, step, floor_steps) for size in sizes}
        print_run_table(title, sizes, figures)
        figures_by_run[step] = figures
    print_growth(sizes, figures_by_run)
    print_targets(sizes, figures_by_run)


if __name__ == "__main__":
    main()

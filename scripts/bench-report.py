#!/usr/bin/python3
"""Prints the benchmark's tables from what scripts/bench measured.

Usage: scripts/bench-report.py SIZES_FILE MEASUREMENTS_FILE

SIZES_FILE has a line "SCHOOL SIZE DOCUMENT_BYTES SOLUC_RECORDS CONVERSION_NOTES RESULTS_NOTES"
per school and size; MEASUREMENTS_FILE a line "SCHOOL SIZE STEP RUN MICROSECONDS PEAK_KIB" per
timed command. A run's floor is the sum of the times of its floor steps and the largest of their
peaks, taken run by run, so that a run and its floor measured side by side stay paired; the
tables show the median of the runs.
"""

import statistics
import sys
from collections import defaultdict

TIME_RATIO_TARGET = 2.0
GROWTH_TARGET = 1.1
MEMORY_MARGIN_MIB = 32

# (title, the run's step, its floor's steps, the column of the sizes file with its notes)
RUNS = [
    ("Conversión (velmora-cli convert) frente a su suelo (xmllint --noout del documento)",
     "convert", ["convert-floor"], "conversion_notes"),
    ("Resultados (velmora-cli results) frente a su suelo (cat de SOLUC.DBF + xmllint --noout "
     "del documento + xmllint --output del resultado)",
     "results", ["results-floor-soluc", "results-floor-document", "results-floor-result"],
     "results_notes"),
]
SHORT_NAMES = {"convert": "conversión", "results": "resultados"}


def number(value, decimals=2):
    return f"{value:.{decimals}f}".replace(".", ",")


def read_sizes(path):
    """{school: {size: {"document_bytes", "records", "conversion_notes", "results_notes"}}}"""
    schools = defaultdict(dict)
    with open(path) as lines:
        for line in lines:
            school, size, document_bytes, records, conversion_notes, results_notes = line.split()
            schools[school][int(size)] = {
                "document_bytes": int(document_bytes),
                "records": int(records),
                "conversion_notes": int(conversion_notes),
                "results_notes": int(results_notes),
            }
    return schools


def read_measurements(path):
    """{(school, size, step): {run: (seconds, peak MiB)}}"""
    measured = defaultdict(dict)
    with open(path) as lines:
        for line in lines:
            school, size, step, run, microseconds, peak_kib = line.split()
            measured[(school, int(size), step)][int(run)] = (int(microseconds) / 1e6,
                                                             int(peak_kib) / 1024)
    return measured


def medians(measured, school, size, step, floor_steps):
    """Median (time, peak) of the run and of its floor for one school and size."""
    runs = sorted(measured[(school, size, step)])
    floors = [
        (sum(measured[(school, size, s)][run][0] for s in floor_steps),
         max(measured[(school, size, s)][run][1] for s in floor_steps))
        for run in runs
    ]
    mine = [measured[(school, size, step)][run] for run in runs]
    return (statistics.median(t for t, _ in mine), statistics.median(m for _, m in mine),
            statistics.median(t for t, _ in floors), statistics.median(m for _, m in floors))


def ratio(value, base):
    return value / base if base > 0 else float("inf")


def verdict(met):
    return "cumple (PASS)" if met else "no cumple (MISS)"


def print_run_table(title, schools, figures, notes_column):
    print(title)
    print(f"{'centro':<15} {'tamaño':>6} {'documento MB':>12} {'registros SOLUC':>15} "
          f"{'avisos':>8} {'tiempo s':>9} {'suelo s':>8} {'razón':>7} {'pico MiB':>9} "
          f"{'suelo MiB':>9} {'diferencia MiB':>14}")
    for school, sizes in schools.items():
        for size in sorted(sizes):
            shape = sizes[size]
            time, peak, floor_time, floor_peak = figures[(school, size)]
            print(f"{school:<15} {size:>6} {number(shape['document_bytes'] / 1e6):>12} "
                  f"{shape['records']:>15} {shape[notes_column]:>8} "
                  f"{number(time, 3):>9} {number(floor_time, 3):>8} "
                  f"{number(ratio(time, floor_time), 1):>7} {number(peak, 1):>9} "
                  f"{number(floor_peak, 1):>9} {number(peak - floor_peak, 1):>14}")
    print()


def print_growth(schools, figures_by_run):
    print("Crecimiento del tiempo del tamaño más pequeño al mayor:")
    for school, sizes in schools.items():
        smallest, largest = min(sizes), max(sizes)
        if largest == smallest:
            continue
        for step, figures in figures_by_run.items():
            growth = ratio(figures[(school, largest)][0], figures[(school, smallest)][0])
            floor_growth = ratio(figures[(school, largest)][2], figures[(school, smallest)][2])
            print(f"  {school:<15} {SHORT_NAMES[step]:<11} del {smallest} al {largest} "
                  f"(trabajo: {number(largest / smallest, 1)} veces más): tiempo "
                  f"{number(growth, 1)} veces, suelo {number(floor_growth, 1)} veces")
    print()


def print_targets(schools, figures_by_run):
    print("Objetivos (solo informativos):")
    for school, sizes in schools.items():
        smallest, largest = min(sizes), max(sizes)
        work = largest / smallest
        for step, figures in figures_by_run.items():
            name = f"{school}, {SHORT_NAMES[step]}"
            time, peak, floor_time, floor_peak = figures[(school, largest)]
            times_floor = ratio(time, floor_time)
            print(f"  {name}, tamaño {largest}: tiempo {number(times_floor, 1)} veces el "
                  f"suelo (objetivo: como mucho {number(TIME_RATIO_TARGET, 1)}): "
                  f"{verdict(times_floor <= TIME_RATIO_TARGET)}")
            extra = peak - floor_peak
            print(f"  {name}, tamaño {largest}: pico de memoria {number(extra, 1)} MiB sobre el "
                  f"del suelo (objetivo: como mucho {MEMORY_MARGIN_MIB} MiB): "
                  f"{verdict(extra <= MEMORY_MARGIN_MIB)}")
            if largest == smallest:
                print(f"  {name}: el crecimiento del tiempo necesita al menos dos tamaños.")
                continue
            growth = ratio(time, figures[(school, smallest)][0])
            print(f"  {name}, del tamaño {smallest} al {largest}: el tiempo crece "
                  f"{number(growth, 1)} veces con {number(work, 1)} veces más trabajo, "
                  f"{number(growth / work)} veces el crecimiento del trabajo (objetivo: como "
                  f"mucho {number(GROWTH_TARGET, 1)}): {verdict(growth <= GROWTH_TARGET * work)}")


def main():
    if len(sys.argv) != 3:
        sys.exit("Uso: bench-report.py ARCHIVO_DE_TAMAÑOS ARCHIVO_DE_MEDIDAS")
    schools = read_sizes(sys.argv[1])
    measured = read_measurements(sys.argv[2])
    figures_by_run = {}
    for title, step, floor_steps, notes_column in RUNS:
        figures = {
            (school, size): medians(measured, school, size, step, floor_steps)
            for school, sizes in schools.items() for size in sizes
        }
        print_run_table(title, schools, figures, notes_column)
        figures_by_run[step] = figures
    print_growth(schools, figures_by_run)
    print_targets(schools, figures_by_run)


if __name__ == "__main__":
    main()

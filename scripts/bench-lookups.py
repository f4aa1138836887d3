#!/usr/bin/python3
"""Tells how many lessons of a result document carry the values the results run looks up.

Usage: scripts/bench-lookups.py RESULT.xml

Reads the first lesson lists (TRAMO_n) of the document, not all of it: a sample is enough to
show that the generated timetable uses the codes the conversion wrote. A benchmark whose
look-ups all miss would time a path the school never takes, so a sample without a single
lesson is an error.
"""

import sys
import xml.etree.ElementTree as ET

SAMPLE = 5000
LOOKED_UP = ["X_TRAMO", "X_UNIDAD", "X_MATERIAOMC", "X_DEPCENTRO"]


def sample_lessons(path):
    for _, element in ET.iterparse(path):
        if element.tag == "listasal" and element.get("seq", "").startswith("TRAMO_"):
            yield {salida.get("dato"): (salida.text or "").strip() for salida in element}
            element.clear()


def main():
    if len(sys.argv) != 2:
        sys.exit("Uso: bench-lookups.py RESULTADO.xml")
    found = dict.fromkeys(LOOKED_UP, 0)
    lessons = 0
    for lesson in sample_lessons(sys.argv[1]):
        lessons += 1
        for name in LOOKED_UP:
            found[name] += 1 if lesson.get(name) else 0
        if lessons == SAMPLE:
            break
    if lessons == 0:
        sys.exit(f"bench-lookups.py: el resultado {sys.argv[1]} no tiene ninguna lección.")
    shares = ", ".join(f"{name} {100 * found[name] / lessons:.0f} %" for name in LOOKED_UP)
    print(f"Muestra de {lessons} lecciones del resultado con valor en {shares}")


if __name__ == "__main__":
    main()

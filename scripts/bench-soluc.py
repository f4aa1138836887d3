#!/usr/bin/python3
"""Writes SOLUC.DBF, a timetable as Horadia would leave it, into a converted exchange folder.

Usage: scripts/bench-soluc.py VELMORA_CLI EXCHANGE_DIR [--unknown-codes]

Every lesson uses codes the conversion wrote into that folder (read back with
`velmora-cli dump`), so the results run finds what it looks up: a subject taught to a group
as ASIGT holds it, a teacher of PROFT, a room of AULAT, a task of ASIGNOMT and a slot of
DIASHORAST. About a hundred lessons per teacher; a few are left unplaced (DIA 0), as Horadia
leaves the ones it could not fit. The same folder always gives the same bytes.

With --unknown-codes the timetable is one Horadia made before the school's codes changed: the
teachers and slots are still there, but every lesson's subject, group, room and task has a
code the tables no longer know, so the results run notes four codes of nearly every lesson.
"""

import csv
import io
import random
import struct
import subprocess
import sys
from pathlib import Path

LESSONS_PER_TEACHER = 100
UNPLACED_PERCENT = 3
SEED = 20260714
SCHOOL_DAYS = range(1, 6)

# dBASE III, as Horadia writes it: (name, type, width, decimals).
FIELDS = [
    ("ASIG", "C", 10, 0),
    ("PROF", "C", 10, 0),
    ("CODGRUPO", "C", 10, 0),
    ("TURNO", "C", 1, 0),
    ("NIVEL", "C", 5, 0),
    ("CURSO", "C", 3, 0),
    ("GRUPO", "C", 1, 0),
    ("AULA", "C", 10, 0),
    ("TAREA", "C", 10, 0),
    ("DIA", "N", 20, 4),
    ("HORA", "N", 20, 4),
    ("SESIONES", "N", 20, 4),
    ("MARCO", "C", 1, 0),
]
DBASE_III = 0x03
WINDOWS_1252_DRIVER = 0x03
LAST_UPDATE = (126, 7, 14)  # years since 1900, month, day: fixed so the bytes never change


def dump(cli, exchange, table):
    """The table's records as dictionaries of field name to text."""
    output = subprocess.run(
        [cli, "dump", table, "--exchange", exchange],
        check=True, capture_output=True, encoding="utf-8",
    ).stdout
    return list(csv.DictReader(io.StringIO(output)))


def teaching_slots(slots):
    """(day, order, frame) of the slots of Monday to Friday that are not breaks."""
    return [
        (int(s["DIA"]), int(s["HORA"]), s["MARCO"])
        for s in slots
        if s["DIA"].isdigit() and int(s["DIA"]) in SCHOOL_DAYS
        and not s["TEXTOHOR"].startswith("Recreo")
    ]


def unknown_codes(tables):
    """The tables with codes they do not hold in place of their subjects, groups, rooms and
    tasks: each known code becomes one of its own, so that codes repeat as the known ones do."""
    renamed = {}

    def unknown(code):
        return renamed.setdefault(code, f"Z{len(renamed):07d}")

    tables["AULAT"] = [dict(r, ABREV=unknown("AULA" + r["ABREV"])) for r in tables["AULAT"]]
    tables["ASIGT"] = [
        dict(a, CASIG=unknown("ASIG" + a["CASIG"]), CGRUP=unknown("GRUPO" + a["CGRUP"]),
             CTAREA=unknown("TAREA" + a["CTAREA"]))
        for a in tables["ASIGT"]
    ]
    return tables


def lessons(rng, tables, tasks_known=True):
    teachers = [t["ABREV"] for t in tables["PROFT"]]
    rooms = [r["ABREV"] for r in tables["AULAT"]]
    assignments = tables["ASIGT"]
    slots = teaching_slots(tables["DIASHORAST"])
    known_tasks = {row["COD"] for row in tables["ASIGNOMT"] if row["ESTAREA"] == "True"}
    if not (teachers and rooms and assignments and slots):
        sys.exit("bench-soluc.py: la carpeta de intercambio no tiene las tablas convertidas.")

    for teacher in teachers:
        # Each teacher keeps to a few groups and one room most of the week, as in a real
        # timetable, so the lessons do not spread evenly over every code.
        taught = rng.sample(assignments, min(8, len(assignments)))
        room = rng.choice(rooms)
        for _ in range(LESSONS_PER_TEACHER):
            assignment = rng.choice(taught)
            task = assignment["CTAREA"]
            if tasks_known and task not in known_tasks:
                sys.exit(f"bench-soluc.py: la tarea {task} de ASIGT no está en ASIGNOMT.")
            day, order, frame = rng.choice(slots)
            if rng.randrange(100) < UNPLACED_PERCENT:
                day, order = 0, 0
            yield {
                "ASIG": assignment["CASIG"],
                "PROF": teacher,
                "CODGRUPO": assignment["CGRUP"],
                "TURNO": assignment["TURNO"],
                "NIVEL": assignment["NIVEL"],
                "CURSO": assignment["CURSO"],
                "GRUPO": assignment["GRUPO"],
                "AULA": room if rng.randrange(4) else rng.choice(rooms),
                "TAREA": task,
                "DIA": day,
                "HORA": order,
                "SESIONES": 1,
                "MARCO": frame,
            }


def encode_field(value, kind, width, decimals):
    if kind == "N":
        text = f"{value:{width}.{decimals}f}".encode("ascii")
    else:
        text = str(value).encode("cp1252").ljust(width, b" ")
    if len(text) > width:
        raise ValueError(f"{value!r} does not fit in {width} characters")
    return text


def encode_record(lesson):
    fields = b"".join(encode_field(lesson[name], *rest) for name, *rest in FIELDS)
    return b" " + fields  # not deleted


def header(record_count):
    header_length = 32 + 32 * len(FIELDS) + 1
    record_length = 1 + sum(width for _, _, width, _ in FIELDS)
    head = struct.pack(
        "<B3BIHH17xB2x", DBASE_III, *LAST_UPDATE, record_count, header_length, record_length,
        WINDOWS_1252_DRIVER,
    )
    descriptors = b"".join(
        struct.pack("<11sc4xBB14x", name.encode("ascii"), kind.encode("ascii"), width, decimals)
        for name, kind, width, decimals in FIELDS
    )
    return head + descriptors + b"\x0d"


def main():
    arguments = sys.argv[1:]
    unknown = arguments[2:] == ["--unknown-codes"]
    if unknown:
        arguments = arguments[:2]
    if len(arguments) != 2:
        sys.exit("Uso: bench-soluc.py VELMORA_CLI CARPETA_DE_INTERCAMBIO [--unknown-codes]")
    cli, exchange = arguments
    tables = {
        name: dump(cli, exchange, name)
        for name in ("PROFT", "ASIGT", "GRUPOST", "AULAT", "ASIGNOMT", "DIASHORAST")
    }
    group_codes = {g["ABREV"] for g in tables["GRUPOST"]}
    tables["ASIGT"] = [a for a in tables["ASIGT"] if a["CGRUP"] in group_codes]
    if unknown:
        tables = unknown_codes(tables)

    records = [
        encode_record(lesson)
        for lesson in lessons(random.Random(SEED), tables, tasks_known=not unknown)
    ]
    with open(Path(exchange) / "SOLUC.DBF", "wb") as out:
        out.write(header(len(records)))
        out.writelines(records)
        out.write(b"\x1a")
    print(len(records))


if __name__ == "__main__":
    main()

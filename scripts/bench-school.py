#!/usr/bin/python3
"""Writes a Sauce service document for a school scaled by SIZE, in ISO-8859-1.

Usage: scripts/bench-school.py SIZE OUTPUT.xml [--long-codes]

The school has the shape of examples/instituto.xml: about 80 * SIZE teachers, with courses,
groups, rooms and subjects in proportion, the usual tasks and two time frames. Names repeat
the way real staff lists do, so the short codes the conversion derives from them collide and
get numbered. The same SIZE always gives the same bytes.

With --long-codes the school is one whose Sauce numbers its codes past ten digits: every
subject of every course, every task, teacher and room has a code of its own eleven digits long,
one more than the tables hold. Each code is cut to ten, and nine in ten of those collide with
the one before and are numbered, so the conversion has a note for nearly every code.
"""

import random
import sys
from xml.sax.saxutils import escape

TEACHERS_PER_SIZE = 80
COURSES_PER_SIZE = 28
ROOMS_PER_SIZE = 60
SEED = 20260714

# Common surnames first: the weights make the first ones far more frequent, as in any staff
# list. The compound ones are longer than a short code and lose their tail.
SURNAMES = [
    "García", "Fernández", "González", "Rodríguez", "López", "Martínez", "Sánchez", "Pérez",
    "Gómez", "Martín", "Jiménez", "Ruiz", "Hernández", "Díaz", "Moreno", "Muñoz", "Álvarez",
    "Romero", "Alonso", "Gutiérrez", "Navarro", "Torres", "Domínguez", "Vázquez", "Ramos",
    "Gil", "Ramírez", "Serrano", "Blanco", "Molina", "Morales", "Suárez", "Ortega", "Delgado",
    "Castro", "Ortiz", "Rubio", "Marín", "Sanz", "Núñez", "Iglesias", "Medina", "Garrido",
    "Cortés", "Castillo", "Santos", "Lozano", "Guerrero", "Cano", "Prieto", "Méndez", "Calvo",
    "Gallego", "Herrera", "Márquez", "León", "Peña", "Cabrera", "Rodríguez de la Fuente",
    "Fernández de Córdoba", "Ruiz de Alarcón", "Sáenz de Santamaría", "Martínez-Almeida",
    "Ibáñez", "Echeverría", "Zúñiga", "Peñalver", "Sánchez-Cañete",
]

GIVEN_NAMES = [
    "María del Carmen", "José Antonio", "Ana Belén", "Juan Ignacio", "Inmaculada", "Pablo",
    "Lucía", "Francisco Javier", "Rocío", "Manuel", "Elena", "Antonio", "Cristina",
    "Miguel Ángel", "Pilar", "Alberto", "Raquel", "Jesús", "Marta", "Sergio", "Begoña", "Íñigo",
    "Ángela", "Óscar", "Nuria", "Adrián", "Almudena", "Ramón", "Concepción", "Joaquín", "Mónica",
    "Andrés", "Sofía", "Rubén", "Noelia", "Víctor", "María José", "Tomás", "Beatriz", "Julián",
    "Verónica", "Raúl", "Asunción", "Germán", "Inés", "Álvaro", "Encarnación", "Nicolás",
    "Soledad", "Agustín", "María de los Ángeles", "José María",
]

# Subjects as (name, Sauce code, weekly minutes); "{r}" is the year in Roman numerals and "{y}"
# the year in digits. An empty minutes value is what Sauce sends for duties.
DUTIES = [
    ("Guardia de Pasillo", "GUAR", ""),
    ("Atención a la Biblioteca", "BIBL", "60"),
    ("Guardia de Recreo", "GUARREC", "30"),
]

ESO_SUBJECTS = [
    ("Lengua Castellana y Literatura", "LCL", "240"),
    ("Matemáticas", "MAT", "240"),
    ("Inglés", "ING", "240"),
    ("Geografía e Historia", "GEH", "180"),
    ("Biología y Geología", "BYG", "180"),
    ("Física y Química", "FYQ", "180"),
    ("Educación Física", "EF", "120"),
    ("Música", "MUS", "120"),
    ("Educación Plástica, Visual y Audiovisual", "EPVA", "120"),
    ("Tecnología y Digitalización", "TYD", "120"),
    ("Francés (Segunda Lengua Extranjera)", "FRA", "120"),
    ("Religión Católica", "REL", "60"),
    ("Atención Educativa", "ATEDU", "60"),
    ("Tutoría", "TUT", "60"),
    ("Cultura Clásica", "CCL", "120"),
    ("Computación y Robótica", "COMPROB", "120"),
    ("Oratoria y Debate", "ORAT", "60"),
    ("Proyecto de Emprendimiento Social", "PROYEMPR", "60"),
    ("Latín", "LAT", "180"),
    ("Economía y Emprendimiento", "ECOEMPR", "180"),
    ("Digitalización", "DIG", "180"),
    ("Formación y Orientación Personal y Profesional", "FOPP", "180"),
    ("Ámbito Científico-Tecnológico", "AMBITOCIENT", "420"),
    ("Ámbito Lingüístico y Social", "AMBITOLING", "420"),
    ("Refuerzo de Matemáticas", "REFMAT", "60"),
    ("Refuerzo de Lengua Castellana", "REFLCL", "60"),
]

BACHILLERATO_SUBJECTS = [
    ("Lengua Castellana y Literatura {r}", "LCL{y}", "180"),
    ("Inglés {r}", "ING{y}", "180"),
    ("Filosofía", "FIL", "180"),
    ("Historia de España", "HES", "180"),
    ("Educación Física", "EF", "120"),
    ("Matemáticas {r}", "MATEMATICAS{y}", "240"),
    ("Matemáticas Aplicadas a las Ciencias Sociales {r}", "MATEMATICASCCSS{y}", "240"),
    ("Física y Química", "FYQ", "240"),
    ("Física", "FIS", "240"),
    ("Química", "QUI", "240"),
    ("Biología, Geología y Ciencias Ambientales", "BGCA", "240"),
    ("Dibujo Técnico {r}", "DT{y}", "240"),
    ("Tecnología e Ingeniería {r}", "TEIN{y}", "240"),
    ("Latín {r}", "LAT{y}", "240"),
    ("Griego {r}", "GRI{y}", "240"),
    ("Economía", "ECO", "240"),
    ("Economía de la Empresa", "EEM", "240"),
    ("Historia del Mundo Contemporáneo", "HMC", "240"),
    ("Historia de la Filosofía", "HFI", "180"),
    ("Geografía", "GEO", "240"),
    ("Historia del Arte", "HAR", "240"),
    ("Psicología", "PSI", "120"),
    ("Religión Católica", "REL", "60"),
    ("Tecnologías de la Información y la Comunicación {r}", "TIC{y}", "120"),
    ("Anatomía Aplicada", "ANAT", "120"),
]

SMR_SUBJECTS = [
    ("Montaje y Mantenimiento de Equipos", "MME", "240"),
    ("Sistemas Operativos Monopuesto", "SOM", "150"),
    ("Aplicaciones Ofimáticas", "AOF", "240"),
    ("Redes Locales", "RL", "210"),
    ("Sistemas Operativos en Red", "SOR", "210"),
    ("Seguridad Informática", "SEGI", "150"),
    ("Servicios en Red", "SER", "210"),
    ("Aplicaciones Web", "AWEB", "120"),
    ("Formación y Orientación Laboral", "FOL", "90"),
    ("Empresa e Iniciativa Emprendedora", "EIE", "120"),
    ("Inglés Profesional", "INGPROF", "60"),
    ("Itinerario Personal para la Empleabilidad {r}", "IPE{y}", "90"),
]

DAW_SUBJECTS = [
    ("Sistemas Informáticos", "SINF", "180"),
    ("Bases de Datos", "BD", "180"),
    ("Programación", "PROG", "240"),
    ("Lenguajes de Marcas y Sistemas de Gestión de Información", "LMSGI", "120"),
    ("Entornos de Desarrollo", "ED", "90"),
    ("Desarrollo Web en Entorno Cliente", "DWEC", "210"),
    ("Desarrollo Web en Entorno Servidor", "DWES", "240"),
    ("Despliegue de Aplicaciones Web", "DAWEB", "150"),
    ("Diseño de Interfaces Web", "DIW", "180"),
    ("Formación y Orientación Laboral", "FOL", "90"),
    ("Empresa e Iniciativa Emprendedora", "EIE", "120"),
    ("Proyecto Intermodular", "PROYINT", "60"),
]

ADMINISTRATIVE_SUBJECTS = [
    ("Comunicación Empresarial y Atención al Cliente", "CEAC", "150"),
    ("Operaciones Administrativas de Compraventa", "OACV", "120"),
    ("Empresa y Administración", "EYA", "120"),
    ("Tratamiento Informático de la Información", "TII", "240"),
    ("Técnica Contable", "TCONT", "90"),
    ("Operaciones Administrativas de Recursos Humanos", "OARH", "180"),
    ("Tratamiento de la Documentación Contable", "TDC", "150"),
    ("Empresa en el Aula", "EEA", "240"),
    ("Operaciones Auxiliares de Gestión de Tesorería", "OAGT", "210"),
    ("Formación y Orientación Laboral", "FOL", "90"),
    ("Inglés Profesional", "INGPROF", "60"),
]

BASIC_FP_SUBJECTS = [
    ("Montaje y Mantenimiento de Sistemas y Componentes Informáticos", "MMSCI", "270"),
    ("Operaciones Auxiliares para la Configuración y la Explotación", "OACE", "180"),
    ("Equipos Eléctricos y Electrónicos", "EEE", "210"),
    ("Instalación y Mantenimiento de Redes para Transmisión de Datos", "IMRTD", "210"),
    ("Ciencias Aplicadas {r}", "CCAA{y}", "150"),
    ("Comunicación y Sociedad {r}", "CYS{y}", "240"),
    ("Tutoría", "TUT", "60"),
    ("Itinerario Personal para la Empleabilidad {r}", "IPE{y}", "90"),
]

# (course name, study, level, group label, years, subjects)
COURSE_KINDS = [
    ("{n}º de Educación Secundaria Obligatoria", "E.S.O. LOMLOE", "ESO", "ESO", 4, ESO_SUBJECTS),
    ("{n}º de Bachillerato (Ciencias y Tecnología)", "Bachillerato", "BACH", "BACH", 2,
     BACHILLERATO_SUBJECTS),
    ("{n}º de Bachillerato (Humanidades y Ciencias Sociales)", "Bachillerato", "BACH", "BACH", 2,
     BACHILLERATO_SUBJECTS),
    ("{n}º C.F.G.M. Sistemas Microinformáticos y Redes", "Formación Profesional", "CFGM", "SMR", 2,
     SMR_SUBJECTS),
    ("{n}º C.F.G.M. Gestión Administrativa", "Formación Profesional", "CFGM", "GAD", 2,
     ADMINISTRATIVE_SUBJECTS),
    ("{n}º C.F.G.S. Desarrollo de Aplicaciones Web", "Formación Profesional", "CFGS", "DAW", 2,
     DAW_SUBJECTS),
    ("{n}º F.P. Básica Informática y Comunicaciones", "Formación Profesional Básica", "FPB",
     "FPB", 2, BASIC_FP_SUBJECTS),
]

TASKS = [
    ("156", "Horario Lectivo", "LECTIVA", "S"),
    ("281", "Servicio de Guardia", "GUARDIA", "N"),
    ("286", "Atención a la Biblioteca", "BIBLIOTECA", "N"),
    ("5", "Reunión de Departamento", "REUNDEP", "N"),
    ("28", "Tutoría de Atención a Familias", "TUTFAM", "N"),
    ("31", "Coordinación de las Tecnologías de la Información", "COORDTIC", "N"),
    ("42", "Jefatura de Departamento", "JEFDEP", "N"),
    ("57", "Mantenimiento del Laboratorio", "MANTLAB", "N"),
]

# (name, short name) of the rooms each building repeats; "{p}" is the floor, "{r}" the room.
ROOM_KINDS = [
    ("Aula {p}.0{r}", "A{p}0{r}"),
    ("Aula {p}.0{r}", "A{p}0{r}"),
    ("Aula {p}.0{r}", "A{p}0{r}"),
    ("Aula {p}.0{r}", "A{p}0{r}"),
    ("Laboratorio de Física y Química", "LAB FQ"),
    ("Laboratorio de Biología y Geología", "LAB BG"),
    ("Aula de Informática {r}", "INFORMÁTICA"),
    ("Aula de Música", "MÚSICA"),
    ("Taller de Tecnología", "TALLER"),
    ("Aula de Dibujo", "DIBUJO"),
    ("Gimnasio", "GIMNASIO"),
    ("Salón de Actos", "SALÓN"),
]

BUILDINGS = "ABCDEFGH"

# (key, name, start, end) of each time frame's slots, in order.
FRAMES = [
    ("MANANA", "Mañana", [
        ("101", "1ª hora", "8:30", "9:25"),
        ("102", "2ª hora", "9:25", "10:20"),
        ("103", "3ª hora", "10:20", "11:15"),
        ("104", "Recreo", "11:15", "11:45"),
        ("105", "4ª hora", "11:45", "12:40"),
        ("106", "5ª hora", "12:40", "13:35"),
        ("107", "6ª hora", "13:35", "14:30"),
    ]),
    ("TARDE", "Tarde", [
        ("201", "1ª hora de tarde", "16:00", "16:55"),
        ("202", "2ª hora de tarde", "16:55", "17:50"),
        ("203", "3ª hora de tarde", "17:50", "18:45"),
        ("204", "Recreo de tarde", "18:45", "19:10"),
        ("205", "4ª hora de tarde", "19:10", "20:05"),
        ("206", "5ª hora de tarde", "20:05", "21:00"),
    ]),
]

ROMAN = {1: "I", 2: "II", 3: "III", 4: "IV"}

# Where each kind's eleven-digit codes start, so that no two kinds share one.
LONG_CODE_STARTS = {"subject": 10000000000, "task": 20000000000, "teacher": 30000000000,
                    "room": 40000000000}


class Codes:
    """The codes of the school: its own, or eleven-digit numbers given in document order."""

    def __init__(self, long_codes):
        self.long_codes = long_codes
        self.next = dict(LONG_CODE_STARTS)

    def __call__(self, kind, code):
        if not self.long_codes:
            return code
        number = self.next[kind]
        self.next[kind] += 1
        return str(number)


def record(values):
    cells = "".join(f"<salida>{escape(v)}</salida>" for v in values)
    return f"      <listasal>{cells}</listasal>\n"


def slot_record(values):
    cells = "".join(f'<salida dato="{name}">{escape(v)}</salida>' for name, v in values)
    return f"      <listasal>{cells}</listasal>\n"


def section(name, lines):
    return [f'    <listasal seq="{name}">\n', *lines, "    </listasal>\n"]


def teachers(rng, count, codes):
    weights = [1 / (rank + 2) for rank in range(len(SURNAMES))]
    lines = []
    for index in range(count):
        first, second = rng.choices(SURNAMES, weights, k=2)
        given = rng.choice(GIVEN_NAMES)
        employee = str(100000 + index * 7 + rng.randrange(7))
        start = f"01/09/{rng.randrange(1995, 2026)}"
        lines.append(record([employee, start, f"{first} {second}, {given}",
                             codes("teacher", first.upper())]))
    return lines


def course_plan(count):
    """The courses in key order, as (key, kind, year): the kinds take turns, year by year."""
    plan = []
    kind_index = 0
    while len(plan) < count:
        kind = COURSE_KINDS[kind_index % len(COURSE_KINDS)]
        for year in range(1, kind[4] + 1):
            if len(plan) < count:
                plan.append((f"6{len(plan) + 1:05d}", kind, year))
        kind_index += 1
    return plan


def courses(plan):
    return [
        record([key, name.format(n=year), study, level, str(year)])
        for key, (name, study, level, _, _, _), year in plan
    ]


def groups(rng, plan):
    lines = []
    for key, (_, _, _, label, _, _), year in plan:
        for letter in "ABCD"[: rng.randrange(2, 5)]:
            lines.append(record([f"7{len(lines) + 1:05d}", f"{year} {label} {letter}", key]))
    return lines


def subjects(rng, plan, codes):
    lines = []
    for course_number, (key, kind, year) in enumerate(plan, start=1):
        offered = kind[5] + rng.sample(DUTIES, rng.randrange(1, len(DUTIES) + 1))
        for number, (name, code, minutes) in enumerate(offered, start=1):
            lines.append(record([
                f"3{course_number:04d}{number:02d}",
                name.format(r=ROMAN[year]),
                codes("subject", code.format(y=year)),
                key,
                minutes,
            ]))
    return lines


def rooms(count, codes):
    lines = []
    per_building = len(ROOM_KINDS) * 3
    for index in range(count):
        building = BUILDINGS[(index // per_building) % len(BUILDINGS)]
        floor, kind = divmod(index % per_building, len(ROOM_KINDS))
        name, short = ROOM_KINDS[kind]
        values = {"p": floor + 1, "r": kind % 4 + 1}
        lines.append(record([
            f"8{index + 1:05d}",
            f"{name.format(**values)} (Edificio {building})",
            codes("room", short.format(**values)),
        ]))
    return lines


def tasks(codes):
    return [record([key, name, codes("task", code), lective]) for key, name, code, lective in TASKS]


def frames():
    return [record([key, name, "01/09/2026"]) for key, name, _ in FRAMES]


def slots():
    lines = []
    for key, _, frame_slots in FRAMES:
        for order, (code, name, start, end) in enumerate(frame_slots, start=1):
            lines.append(slot_record([
                ("CODIGO_SAUCE", code), ("NOMBRE", name), ("INICIO", start), ("FIN", end),
                ("ORDEN", str(order)), ("CLAVE_JORNADA", key),
            ]))
    return lines


def document(size, long_codes):
    rng = random.Random(SEED * 1000 + size)
    codes = Codes(long_codes)
    plan = course_plan(COURSES_PER_SIZE * size)
    parts = [
        '<?xml version="1.0" encoding="ISO-8859-1"?>\n',
        "<SERVICIO>\n",
        "  <PARAMETROS>\n",
        '    <parametro dato="X_CENTRO">21700815</parametro>\n',
        '    <parametro dato="D_CENTRO">I.E.S. Montes de Velmora</parametro>\n',
        '    <parametro dato="C_ANNO">2026</parametro>\n',
        '    <parametro dato="F_EXPORTACION">14/07/2026</parametro>\n',
        "  </PARAMETROS>\n",
        "  <SALIDAS>\n",
        *section("CURSOS", courses(plan)),
        *section("GRUPOS", groups(rng, plan)),
        *section("PROFESORES", teachers(rng, TEACHERS_PER_SIZE * size, codes)),
        *section("AULAS", rooms(ROOMS_PER_SIZE * size, codes)),
        *section("MATERIAS", subjects(rng, plan, codes)),
        *section("TAREAS", tasks(codes)),
        *section("JORNADAS", frames()),
        *section("INTERVALOS", slots()),
        "  </SALIDAS>\n",
        "</SERVICIO>\n",
    ]
    return "".join(parts)


def main():
    arguments = sys.argv[1:]
    long_codes = arguments[2:] == ["--long-codes"]
    if long_codes:
        arguments = arguments[:2]
    if len(arguments) != 2 or not arguments[0].isdigit() or int(arguments[0]) < 1:
        sys.exit("Uso: bench-school.py TAMAÑO SALIDA.xml [--long-codes] (TAMAÑO es un número "
                 "entero desde 1)")
    with open(arguments[1], "wb") as out:
        out.write(document(int(arguments[0]), long_codes).encode("iso-8859-1"))


if __name__ == "__main__":
    main()

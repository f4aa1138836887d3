#!/usr/bin/env bash
# velmora.exe started as Sauce starts it, under Wine on the window tests' virtual screen, its
# file dialog answered with the keyboard as a person would (xdotool). What it leaves (the
# completion code in Horadia.ini beside it, the tables, the result document) is checked against
# what velmora-cli.exe makes of the same document.
# Usage: as-sauce-starts-it.sh exportar|importar|cancelled|no-run
# Environment: VELMORA_EXE, VELMORA_CLI_EXE, VELMORA_SOURCE_DIR, WINEPREFIX, VELMORA_SCREEN.
set -euo pipefail
scenario="$1"
export DISPLAY
DISPLAY="$(cat "$VELMORA_SCREEN/display")"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The file dialog in Spanish, as on the school's Windows.
export LANG=es_ES.UTF-8

work="$(mktemp -d)"
velmora_pid=""
cleanup() {
  if [ -n "$velmora_pid" ] && kill -0 "$velmora_pid" 2>/dev/null; then
    kill "$velmora_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "as-sauce-starts-it ($scenario): $*" >&2
  if [ -n "$velmora_pid" ] && kill -0 "$velmora_pid" 2>/dev/null; then
    echo "velmora.exe is still running" >&2
  fi
  if [ -f "$work/programa/Horadia.ini" ]; then
    echo "Horadia.ini: $(tr '\r\n' '  ' <"$work/programa/Horadia.ini")" >&2
  fi
  import -window root "$work/screen.png" 2>/dev/null && cp "$work/screen.png" "/tmp/velmora-$scenario-failed.png" &&
    echo "the screen at the failure: /tmp/velmora-$scenario-failed.png" >&2
  exit 1
}

windows_path() {
  winepath -w "$1" 2>/dev/null
}

cli() {
  "$VELMORA_SOURCE_DIR/scripts/wine-run" "$VELMORA_CLI_EXE" "$@"
}

# The program's own folder, where Horadia.ini is written, and the exchange folder with the
# document in its Sauce folder, where the file dialog opens: under a folder whose name has an
# ñ, as a school's folders may. Only the document's own name is typed: xdotool types letters
# that need no modifier key reliably, and ñ, ':' or '\' not always.
mkdir -p "$work/programa" "$work/Año 2026/HTEMP/Sauce"
cp "$VELMORA_EXE" "$work/programa/velmora.exe"
exchange="$work/Año 2026/HTEMP"
document="$exchange/Sauce/instituto.xml"
cp "$VELMORA_SOURCE_DIR/examples/instituto.xml" "$document"
export VELMORA_EXCHANGE_DIR
VELMORA_EXCHANGE_DIR="$(windows_path "$exchange")"

start_velmora() {
  wine "$work/programa/velmora.exe" "$@" >"$work/velmora.log" 2>&1 &
  velmora_pid=$!
}

# The newest visible window whose title is exactly title, once it has the keyboard. A window
# that closes while xdotool looks at it makes xdotool fail; it only looks again.
wait_window() {
  local title="$1" found="" tries
  for tries in $(seq 1 150); do
    found="$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | tail -n 1)" || true
    [ -n "$found" ] && break
    sleep 0.2
  done
  [ -n "$found" ] || fail "no window \"$title\" came up"
  has_focus "$found" || fail "the window \"$title\" never got the keyboard"
  sleep 0.2 # until it has painted
  echo "$found"
}

has_focus() {
  local tries
  for tries in $(seq 1 50); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

is_shown() {
  xdotool search --onlyvisible --name "." 2>/dev/null | grep -qx "$1"
}

# Keys go through the keyboard itself (XTEST) to the window with the focus, as a person's do:
# sent to a window by name, a key's release can go astray when the press closes the window,
# and the key held down then repeats into the next one.
keys_to() {
  local window="$1"
  shift
  has_focus "$window" || fail "the window lost the keyboard"
  xdotool key "$@"
}

# Presses keys in a window until it has gone: a key pressed while Wine is still giving the
# window the focus can be lost. Only a window still there after a good while gets them again,
# lest they reach the window that comes up next.
keys_until_gone() {
  local window="$1" tries waited
  shift
  for tries in $(seq 1 5); do
    keys_to "$window" "$@"
    for waited in $(seq 1 30); do
      sleep 0.1
      is_shown "$window" || return 0
    done
  done
  fail "the window did not take $*"
}

choose_document() {
  local dialog
  dialog="$(wait_window "Seleccionar Archivo XML obtenido de SAUCE")" || exit 1
  has_focus "$dialog" || fail "the file dialog lost the keyboard"
  xdotool type "$(basename "$document")"
  keys_until_gone "$dialog" Return
}

wait_end() {
  local waited=0
  while kill -0 "$velmora_pid" 2>/dev/null; do
    sleep 0.2
    waited=$((waited + 1))
    [ "$waited" -lt 150 ] || fail "velmora.exe did not end"
  done
  wait "$velmora_pid" || fail "velmora.exe ended with status $?"
  velmora_pid=""
}

expect_code() {
  local expected="$1" ini="$work/programa/Horadia.ini"
  [ -f "$ini" ] || fail "no Horadia.ini beside velmora.exe"
  printf '[Transformadores]\r\nTransformado=%s\r\n' "$expected" | cmp -s - "$ini" ||
    fail "Horadia.ini holds $(od -c "$ini" | head -n 3), not the code $expected"
}

# The closing message: "Proceso finalizado", alone or with the run's notes.
confirm_end() {
  local message
  message="$(wait_window Velmora)" || exit 1
  keys_until_gone "$message" Return
}

tables=(ASIGNOMT ASIGNOMT2 PROFT AULAT CURSOST GRUPOST ASIGT DIASHORAST)

case "$scenario" in
  exportar)
    start_velmora EXPORTAR x
    choose_document
    # Two frames: the first one, taken with the keyboard, then Continuar.
    frames="$(wait_window "Planillas, Marcos o Jornadas Horarias")" || exit 1
    keys_to "$frames" space
    keys_until_gone "$frames" Return
    confirm_end
    wait_end
    expect_code 1
    # The example's conversion leaves notes, which the calling program finds beside the code.
    [ -s "$work/programa/Velmora-avisos.txt" ] || fail "no notes beside Horadia.ini"
    mkdir "$work/cli"
    cli convert "$document" --exchange "$(windows_path "$work/cli")" --frames MANANA >/dev/null
    # Byte for byte, but for the day of the last change in the header (bytes 1 to 3): a run
    # on either side of midnight is no difference.
    for table in "${tables[@]}"; do
      [ -f "$exchange/$table.DBF" ] || fail "velmora.exe wrote no $table"
      cmp -s <(head -c 1 "$exchange/$table.DBF") <(head -c 1 "$work/cli/$table.DBF") &&
        cmp -s -i 4 "$exchange/$table.DBF" "$work/cli/$table.DBF" ||
        fail "$table differs from velmora-cli's"
    done
    ;;
  importar)
    # Horadia's timetable on the tables of the same document.
    cli convert "$document" --exchange "$VELMORA_EXCHANGE_DIR" --frames MANANA,TARDE >/dev/null
    printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$VELMORA_SOURCE_DIR/scripts/wine-run" \
      "$VELMORA_CLI_EXE" >"$work/velmora-cli"
    chmod +x "$work/velmora-cli"
    # Windows takes the folder's Linux path as a path on Wine's drive of the whole file system.
    /usr/bin/python3 "$VELMORA_SOURCE_DIR/scripts/bench-soluc.py" "$work/velmora-cli" \
      "$exchange" >/dev/null
    [ -f "$exchange/SOLUC.DBF" ] || fail "no SOLUC to read"
    start_velmora importar x
    choose_document
    confirm_end
    wait_end
    expect_code 1
    result="$exchange/Sauce/ResultadoHoradiainstituto.xml"
    [ -f "$result" ] || fail "velmora.exe saved no result document"
    mkdir "$work/cli"
    cp "$document" "$work/cli/instituto.xml"
    cli results "$work/cli/instituto.xml" --exchange "$VELMORA_EXCHANGE_DIR" >/dev/null
    cmp -s "$result" "$work/cli/ResultadoHoradiainstituto.xml" ||
      fail "the result document differs from velmora-cli's"
    ;;
  cancelled)
    start_velmora exportar x
    dialog="$(wait_window "Seleccionar Archivo XML obtenido de SAUCE")" || exit 1
    keys_until_gone "$dialog" Escape
    confirm_end
    wait_end
    expect_code -1
    [ -z "$(ls "$exchange" | grep -v Sauce)" ] || fail "a cancelled run touched the tables"
    ;;
  no-run)
    start_velmora hola x
    main="$(wait_window "Exportar e importar datos entre Horadia y Sauce ")" || exit 1
    keys_until_gone "$main" alt+s
    wait_end
    expect_code 0
    ;;
  *)
    echo "usage: as-sauce-starts-it.sh exportar|importar|cancelled|no-run" >&2
    exit 2
    ;;
esac
echo "as-sauce-starts-it ($scenario): as expected"

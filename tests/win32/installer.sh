#!/usr/bin/env bash
# The setup program on a Windows where Velmora has never been: a silent install into a fresh
# Wine prefix, the installed programs run from where they were put (velmora.exe writes its
# completion code beside itself there), and a silent uninstall that leaves nothing behind.
# Environment: VELMORA_SETUP, VELMORA_SOURCE_DIR, VELMORA_SCREEN (the window tests' screen).
set -euo pipefail
export DISPLAY
DISPLAY="$(cat "$VELMORA_SCREEN/display")"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=es_ES.UTF-8
work="$(mktemp -d)"
export WINEPREFIX="$work/prefix"
velmora_pid=""
cleanup() {
  if [ -n "$velmora_pid" ]; then
    kill "$velmora_pid" 2>/dev/null || true
  fi
  wineserver --kill >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "installer: $*" >&2
  exit 1
}

run() {
  "$VELMORA_SOURCE_DIR/scripts/wine-run" "$@"
}

# A reg query's answer: the value's data, or nothing.
registry_value() {
  run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}

# The prefix's own folders as Linux paths.
windows_folder() {
  winepath -u "$(run cmd /c echo "%$1%" | tr -d '\r')"
}

started=$SECONDS
wineboot --init >/dev/null 2>&1
wineserver --wait
echo "installer: a fresh Wine prefix in $((SECONDS - started)) s"

run "$VELMORA_SETUP" /S
wineserver --wait
folder="$(windows_folder LOCALAPPDATA)/Programs/Velmora"
start_menu="$(windows_folder APPDATA)/Microsoft/Windows/Start Menu/Programs"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora'

for file in velmora.exe velmora-cli.exe desinstalar.exe guia/index.html guia/ventana.html; do
  [ -f "$folder/$file" ] || fail "no $file in $folder"
done
[ "$(ls "$folder/guia" | wc -l)" -eq "$(ls "$VELMORA_SOURCE_DIR"/app/guide/*.html | wc -l)" ] ||
  fail "not every page of the guide was installed"
[ -f "$start_menu/Velmora.lnk" ] || fail "no shortcut in the Start menu"
[ "$(registry_value "$key" DisplayName)" = "Velmora" ] || fail "not registered with Windows"
uninstaller="$(registry_value "$key" UninstallString | tr -d '"')"
[ "$(winepath -u "$uninstaller")" = "$folder/desinstalar.exe" ] ||
  fail "the uninstaller registered is $uninstaller"

# The installed programs run from where they are.
run "$folder/velmora-cli.exe" --version | tr -d '\r' | grep -q '^velmora-cli (Velmora) ' ||
  fail "the installed velmora-cli.exe does not run"
wine "$folder/velmora.exe" hola x >/dev/null 2>&1 &
velmora_pid=$!
main=""
for _ in $(seq 1 150); do
  main="$(xdotool search --onlyvisible --name '^Exportar e importar datos entre Horadia y Sauce $' 2>/dev/null | tail -n 1)" || true
  [ -n "$main" ] && break
  sleep 0.2
done
[ -n "$main" ] || fail "the installed velmora.exe showed no window"
for _ in $(seq 1 50); do
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$main" ] && break
  sleep 0.1
done
sleep 0.2
xdotool key alt+s
for _ in $(seq 1 100); do
  kill -0 "$velmora_pid" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$velmora_pid" 2>/dev/null && fail "the installed velmora.exe did not close on Alt+S"
velmora_pid=""
printf '[Transformadores]\r\nTransformado=0\r\n' | cmp -s - "$folder/Horadia.ini" ||
  fail "the installed velmora.exe could not leave its code beside itself"

# The uninstaller starts again from a copy of itself and returns at once: wait for it.
run "$folder/desinstalar.exe" /S
for _ in $(seq 1 150); do
  [ -d "$folder" ] || break
  sleep 0.2
done
wineserver --wait
[ ! -e "$folder" ] || fail "the uninstall left $(find "$folder" | tr '\n' ' ')"
[ ! -e "$start_menu/Velmora.lnk" ] || fail "the uninstall left the shortcut"
[ -z "$(registry_value "$key" DisplayName)" ] || fail "the uninstall left the registration"
echo "installer: installed, run and uninstalled"

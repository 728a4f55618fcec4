#!/usr/bin/env bash
# Creates the private Wine prefix once, with the Japanese font substitution (and, with
# TETRAFOL_DPI, the screen resolution Wine reports).
set -euo pipefail
source "$(dirname "$0")/env.sh" 2>/dev/null
stamp=$WINEPREFIX/.tetrafol-ready

# Wine's own fonts (Marlett draws the title-bar buttons) are found only in the prefix.
install_wine_fonts() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  mkdir -p "$fonts"
  for f in /usr/share/wine/fonts/*.ttf; do
    [ -e "$f" ] && cp -u "$f" "$fonts/"
  done
  return 0
}

if [ -f "$stamp" ]; then install_wine_fonts; exit 0; fi
rm -rf "$WINEPREFIX"; mkdir -p "$(dirname "$WINEPREFIX")"
# wineboot needs no display; keep it away from any X server.
env DISPLAY= LC_ALL="$TETRAFOL_LOCALE" wine wineboot --init >/dev/null 2>&1
cat > "$run_dir/fonts.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS UI Gothic"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"
REG
# TETRAFOL_DPI: the screen's resolution in the prefix (96 when unset), for a rig of its own.
if [ -n "${TETRAFOL_DPI:-}" ]; then
  printf '\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$TETRAFOL_DPI" >> "$run_dir/fonts.reg"
fi
# regedit reads the file in the ANSI code page: write it as Shift-JIS.
iconv -f UTF-8 -t CP932 "$run_dir/fonts.reg" > "$run_dir/fonts-sjis.reg"
env DISPLAY= LC_ALL="$TETRAFOL_LOCALE" wine regedit /S "$(winepath -w "$run_dir/fonts-sjis.reg" 2>/dev/null)" >/dev/null 2>&1
wineserver -w
install_wine_fonts
touch "$stamp"

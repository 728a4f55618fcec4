# Sourced by the other scripts: where things live and how Wine runs.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TETRAFOL_ROOT=$root
export WINEPREFIX=$root/.wine
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: nothing may be downloaded.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Japanese ANSI code page (932) inside Wine; glibc need not have the locale generated.
export TETRAFOL_LOCALE=ja_JP.UTF-8
run_dir=$root/.run
out_dir=$root/out
mkdir -p "$run_dir" "$out_dir"

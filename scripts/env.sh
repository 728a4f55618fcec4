# Sourced by the other scripts: where things live and how Wine runs.
# TETRAFOL_RIG names a private rig (prefix, display, spooler) so that several test runs
# can share one machine; the default rig is "default".
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rig=${TETRAFOL_RIG:-default}
export TETRAFOL_ROOT=$root
export WINEPREFIX=$root/.wine/$rig
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: nothing may be downloaded.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Japanese ANSI code page (932) inside Wine; glibc need not have the locale generated.
# Only Wine gets it (LC_ALL=$TETRAFOL_LOCALE wine ...): bash would warn about it.
export TETRAFOL_LOCALE=ja_JP.UTF-8
run_dir=$root/.run/$rig
out_dir=$root/out
if [ "$rig" = default ]; then prints_dir=$out_dir/prints; else prints_dir=$run_dir/prints; fi
mkdir -p "$run_dir" "$out_dir"
# libjpeg-turbo's source, as Debian's source package unpacks it into deps/src-jpeg.
jpeg_source() { find "$root/deps/src-jpeg" -maxdepth 1 -mindepth 1 -type d -name 'libjpeg-turbo-*' | sort | head -n 1; }

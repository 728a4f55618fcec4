#!/usr/bin/env bash
# start: starts a private CUPS scheduler (configuration, spool and socket under .run/cups)
# with one queue, the default printer, that writes every job into out/prints/ as the file it received.
# stop: stops that scheduler by its pid. Prints the socket path for CUPS_SERVER on start.
set -euo pipefail
source "$(dirname "$0")/env.sh" 2>/dev/null
cups=$run_dir/cups
pidfile=$cups/cupsd.pid
socket=$cups/cups.sock
queue=Tetrafol_PDF

stop() {
  if [ -f "$pidfile" ]; then
    kill "$(cat "$pidfile")" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$(cat "$pidfile")" 2>/dev/null || break; sleep 0.1; done
    rm -f "$pidfile"
  fi
}

case "${1:-}" in
start)
  stop
  rm -rf "$cups"
  mkdir -p "$cups"/{etc/ppd,spool/tmp,cache,state,log,lib/backend} "$prints_dir"
  chmod 0755 "$cups" "$cups"/{etc,lib,lib/backend}
  chmod 0710 "$cups/spool"; chmod 1770 "$cups/spool/tmp"
  # Filters and helpers are the system's; the backend directory is ours, with the job writer.
  for d in /usr/lib/cups/*; do
    [ "$(basename "$d")" = backend ] || ln -s "$d" "$cups/lib/$(basename "$d")"
  done
  install -m 0700 "$root/scripts/cups-backend-tofile" "$cups/lib/backend/tofile"
  cat > "$cups/etc/cups-files.conf" <<CONF
ServerRoot $cups/etc
RequestRoot $cups/spool
TempDir $cups/spool/tmp
CacheDir $cups/cache
StateDir $cups/state
ServerBin $cups/lib
AccessLog $cups/log/access_log
ErrorLog $cups/log/error_log
PageLog $cups/log/page_log
ConfigFilePerm 0644
LogFilePerm 0644
CONF
  cat > "$cups/etc/cupsd.conf" <<CONF
Listen $socket
LogLevel warn
Printcap $cups/printcap
Browsing No
WebInterface No
DefaultAuthType None
MaxJobs 0
PreserveJobHistory No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cupsd -f -c "$cups/etc/cupsd.conf" -s "$cups/etc/cups-files.conf" >"$cups/log/cupsd.out" 2>&1 &
  echo $! > "$pidfile"
  for _ in $(seq 100); do [ -S "$socket" ] && break; sleep 0.1; done
  [ -S "$socket" ] || { echo "cupsd did not start" >&2; cat "$cups/log/"* >&2; exit 1; }
  export CUPS_SERVER=$socket
  export TETRAFOL_PRINTS=$prints_dir
  lpadmin -p "$queue" -E -v "tofile:$prints_dir" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
  lpadmin -d "$queue"
  echo "$socket"
  ;;
stop) stop ;;
*) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac

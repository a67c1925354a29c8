#!/usr/bin/env bash
# Runs a command beside a CUPS server of its own: cupsd with its configuration, spool
# and socket in a scratch folder, and one cups-pdf queue, the server's default, whose
# PDF files land in that folder. The command sees CUPS_SERVER (the server's socket),
# VORRA_TEST_QUEUE (the queue) and VORRA_TEST_PDF_DIR (where the queue writes).
#
#   cups-sandbox.sh SCRATCH COMMAND [ARGS...]
#
# cups-pdf reads its settings from /etc/cups/cups-pdf-<queue>.conf and must run as
# root, so the sandbox needs root: without it (or without cupsd or cups-pdf) it exits
# with 77, which CTest counts as skipped. Everything it made is removed at the end,
# the scratch folder's pictures and PDF files excepted.
set -euo pipefail

scratch=$1
shift
skip() { echo "cups-sandbox: skipped: $*" >&2; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root (cups-pdf runs only as root)"
CUPSD=$(command -v cupsd || echo /usr/sbin/cupsd)
[ -x "$CUPSD" ] || skip "cupsd is not installed (package cups-daemon)"
[ -x /usr/lib/cups/backend/cups-pdf ] || skip "cups-pdf is not installed (package printer-driver-cups-pdf)"
PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -f "$PPD" ] || skip "the cups-pdf driver description $PPD is missing"

mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd)
root="$scratch/cups"
rm -rf "$root"
mkdir -p "$root"/{etc/ppd,spool/tmp,cache,state/certs,log,pdf,pdf-spool}
queue="vorra-test-$$"
conf="/etc/cups/cups-pdf-$queue.conf"
socket="$root/cups.sock"

# Filters run as lp: the folders they read must be open to it.
chmod 755 "$scratch" "$root" "$root/etc" "$root/pdf"
chown root:lp "$root/spool" "$root/spool/tmp" "$root/cache" "$root/state"
chmod 0710 "$root/spool"
chmod 1770 "$root/spool/tmp"
chmod 0775 "$root/cache" "$root/state"

cat > "$root/etc/cupsd.conf" <<CONF
LogLevel warn
Listen $socket
Browsing Off
DefaultAuthType None
WebInterface No
JobRetryLimit 0
MaxJobs 50
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
cat > "$root/etc/cups-files.conf" <<CONF
ServerRoot $root/etc
RequestRoot $root/spool
TempDir $root/spool/tmp
CacheDir $root/cache
StateDir $root/state
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
User lp
Group lp
SystemGroup root
FileDevice No
CONF
cat > "$conf" <<CONF
Out $root/pdf
AnonDirName $root/pdf
Spool $root/pdf-spool
Log $root/log
UserUMask 0022
Grp lp
CONF

cupsd_pid=
cleanup() {
  [ -n "$cupsd_pid" ] && kill "$cupsd_pid" 2>/dev/null && wait "$cupsd_pid" 2>/dev/null || true
  rm -f "$conf"
  rm -rf "$root/spool" "$root/cache" "$root/state" "$root/pdf-spool" "$root/etc" "$socket"
}
trap cleanup EXIT

"$CUPSD" -f -c "$root/etc/cupsd.conf" -s "$root/etc/cups-files.conf" &
cupsd_pid=$!
export CUPS_SERVER="$socket"
for _ in $(seq 100); do
  [ -S "$socket" ] && lpstat -r >/dev/null 2>&1 && break
  kill -0 "$cupsd_pid" 2>/dev/null || { cat "$root/log/error_log" >&2 || true; echo "cups-sandbox: cupsd ended" >&2; exit 1; }
  sleep 0.1
done
lpstat -r >/dev/null || { echo "cups-sandbox: cupsd does not answer on $socket" >&2; exit 1; }
# Driver descriptions (PPD) are deprecated in CUPS but still what cups-pdf ships.
lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P "$PPD" 2>/dev/null
lpadmin -d "$queue"

export VORRA_TEST_QUEUE="$queue" VORRA_TEST_PDF_DIR="$root/pdf" VORRA_TEST_CUPS_LOG="$root/log/error_log"
status=0
"$@" || status=$?
exit $status

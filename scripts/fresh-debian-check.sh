#!/usr/bin/env bash
# Proves the set-up on a machine with nothing installed: makes a minimal Debian bookworm root
# with debootstrap (--variant=minbase), clones the repository into it and runs the README's two
# commands there as root, in a chroot:
#   bash scripts/run.sh --screenshot DIR   (offscreen: the sheet's pictures, then it exits)
#   bash scripts/test.sh
# The clone takes the commit HEAD names: uncommitted changes are not checked; commit first.
# Not part of CI and not run by scripts/test.sh: it downloads a few hundred MB of packages and
# builds everything from scratch (about half an hour on 2 cores). Run it as root on a Debian host;
# debootstrap is installed with apt-get when it is missing. The packages come from the Debian
# mirror the host's own apt sources name (/etc/apt/sources.list, /etc/apt/sources.list.d), so the
# check needs no host besides the one the host already installs from.
#
#   bash scripts/fresh-debian-check.sh [--dir DIR] [--keep] [--reuse]
#
#   --dir DIR  the root's folder (default /var/tmp/vireo-fresh-debian); an existing one is
#              replaced only when this script made it
#   --keep     keep the root afterwards (it is always kept when a command failed)
#   --reuse    run again in the root an earlier run kept, without debootstrap; the clone is made
#              anew, the packages installed before stay (so the machine is no longer fresh)
#
# The last line printed says whether both commands passed, or which one failed.
set -euo pipefail
codename=bookworm
dir=/var/tmp/vireo-fresh-debian
keep=0
reuse=0
usage() {
  sed -n '/^#   bash scripts\/fresh-debian-check/,/^# The last line/p' "$0" |
    sed 's/^# \{0,1\}//' >&2
  exit 2
}
while [ $# -gt 0 ]; do
  case $1 in
    --dir) [ $# -ge 2 ] || usage; dir=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --reuse) reuse=1; shift ;;
    -h | --help) usage ;;
    *) echo "fresh-debian-check: unknown argument: $1" >&2; usage ;;
  esac
done
repo=$(cd "$(dirname "$0")/.." && pwd)
marker=.vireo-fresh-debian-root
started=$SECONDS

current="starting"
finished=0
stage() {
  current=$*
  printf '\n=== fresh-debian-check [%dm%02ds]: %s\n' $(((SECONDS - started) / 60)) \
    $(((SECONDS - started) % 60)) "$*"
}
result() { # the last line: PASSED, or FAILED and what
  local minutes=$(((SECONDS - started) / 60))
  finished=1
  echo
  echo "fresh-debian-check: $* (${minutes} min)"
}
die() { result "FAILED: $*"; exit 1; }

[ "$(id -u)" -eq 0 ] || die "run it as root (debootstrap and chroot need root)"
[ -f /etc/debian_version ] || die "the host is not Debian: its apt sources name no Debian mirror"
dir=$(realpath -m "$dir")
case $dir in /) die "--dir / is not a folder for a root" ;; esac

# deb entries of the host's apt sources, one line each: URI SUITE COMPONENTS...
host_sources() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed 's/#.*//' "$f" | awk '$1 == "deb" {
      i = 2
      if ($i ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
      line = $i " " $(i + 1)
      for (j = i + 2; j <= NF; j++) line = line " " $j
      print line }'
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk 'function flush(   n, m, a, b, u, s) {
           if (f["types"] ~ /(^| )deb( |$)/ && tolower(f["enabled"]) != "no") {
             n = split(f["uris"], u, " "); m = split(f["suites"], s, " ")
             for (a = 1; a <= n; a++) for (b = 1; b <= m; b++) print u[a], s[b], f["components"]
           }
           delete f; key = "" }
         /^[ \t]*#/ { next }
         /^[ \t]*$/ { flush(); next }
         /^[ \t]/ { if (key != "") f[key] = f[key] " " $0; next }
         { c = index($0, ":"); key = tolower(substr($0, 1, c - 1)); f[key] = substr($0, c + 1) }
         END { flush() }' "$f"
  done
}

mounts=()
cleanup() {
  local status=$? pid link i
  # Whatever still runs inside the root (started by this run) holds its mounts: end it.
  for link in /proc/[0-9]*/root; do
    pid=${link#/proc/}
    pid=${pid%/root}
    [ "$(readlink "$link" 2>/dev/null)" = "$dir" ] && kill -9 "$pid" 2>/dev/null
  done
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" 2>/dev/null ||
      echo "fresh-debian-check: could not unmount ${mounts[i]}" >&2
  done
  mounts=()
  # A step that stopped the script (or a signal) still gets its last line.
  if [ "$finished" -eq 0 ] && [ "$status" -ne 0 ]; then
    result "FAILED: $current (status $status)"
  fi
  return "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

mount_in_root() { # TARGET MOUNT-ARGS...
  local target=$dir$1
  shift
  mkdir -p "$target"
  mount "$@" "$target"
  mounts+=("$target")
}

# Runs one command in the root as a fresh root login would, with nothing of this environment
# but a proxy (if the host uses one). No LANG: a minimal Debian sets none.
in_root() {
  local env=(HOME=/root USER=root LOGNAME=root SHELL=/bin/bash TERM=dumb
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
  local v
  for v in http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY; do
    [ -n "${!v:-}" ] && env+=("$v=${!v}")
  done
  # In the background with a wait, so that a signal to this script is handled at once, not
  # after the command; its interrupt and quit signals as a foreground command would have them.
  chroot "$dir" /usr/bin/env --default-signal=INT,QUIT -i "${env[@]}" /bin/bash -c "$1" &
  wait $!
}

sources=$(host_sources | awk -v c="$codename" '$2 == c || index($2, c "-") == 1' | sort -u)
mirror=$(awk -v c="$codename" '$2 == c { print $1; exit }' <<<"$sources")
[ -n "$mirror" ] || die "the host's apt sources name no mirror of Debian $codename"

rev=$(git -C "$repo" rev-parse HEAD) || die "$repo is not a git repository"
stage "commit $(git -C "$repo" log -1 --format='%h %s' | cut -c1-80)"
if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
  echo "note: the working tree has uncommitted changes; they are not checked"
fi

if [ "$reuse" -eq 1 ]; then
  [ -f "$dir/$marker" ] || die "--reuse: $dir holds no root an earlier run kept"
  stage "reusing the root in $dir (its packages stay installed)"
else
  if [ -e "$dir" ]; then
    [ -f "$dir/$marker" ] || die "$dir exists and is not a root this script made; choose --dir"
    grep -q " $dir/" /proc/mounts && die "something is still mounted under $dir"
    stage "removing the earlier root in $dir"
    rm -rf --one-file-system "$dir"
  fi
  if ! command -v debootstrap >/dev/null; then
    stage "installing debootstrap on the host"
    DEBIAN_FRONTEND=noninteractive apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
  fi
  stage "debootstrap --variant=minbase $codename from $mirror"
  mkdir -p "$dir"
  touch "$dir/$marker"
  debootstrap --variant=minbase "$codename" "$dir" "$mirror" >"$dir.debootstrap.log" 2>&1 || {
    tail -n 20 "$dir.debootstrap.log"
    die "debootstrap (log: $dir.debootstrap.log)"
  }
  rm -f "$dir.debootstrap.log"
fi

# The root's apt sources: the host's entries for this release (its updates and security
# suites as a fresh install has them), and the host's settings for reaching that mirror (a
# snapshot's expired release dates, a proxy).
awk '{ printf "deb %s %s", $1, $2; for (i = 3; i <= NF; i++) printf " %s", $i; print "" }' \
  <<<"$sources" >"$dir/etc/apt/sources.list"
apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|[A-Za-z]+::Proxy)' \
  >"$dir/etc/apt/apt.conf.d/00host-mirror" || rm -f "$dir/etc/apt/apt.conf.d/00host-mirror"
# The host's name resolution, to reach the mirror by the name it has.
cp -L /etc/resolv.conf "$dir/etc/resolv.conf" 2>/dev/null || true
cp -L /etc/hosts "$dir/etc/hosts"
echo "apt sources of the root:"
sed 's/^/  /' "$dir/etc/apt/sources.list"

mount_in_root /proc -t proc proc
mount_in_root /sys -t sysfs sysfs
mount_in_root /dev --bind /dev
mount_in_root /dev/pts --bind /dev/pts
mount_in_root /dev/shm --bind /dev/shm

stage "cloning $rev into /root/vireo"
rm -rf "$dir/root/vireo"
git clone -q --no-hardlinks "$repo" "$dir/root/vireo"
git -C "$dir/root/vireo" checkout -q --detach "$rev"

failed=""
stage "bash scripts/run.sh --screenshot /root/screenshots (QT_QPA_PLATFORM=offscreen)"
if in_root 'cd /root/vireo && rm -rf /root/screenshots && mkdir -p /root/screenshots &&
    QT_QPA_PLATFORM=offscreen bash scripts/run.sh --screenshot /root/screenshots &&
    n=$(find /root/screenshots -name "*.png" | wc -l) && echo "$n pictures in /root/screenshots" &&
    [ "$n" -gt 0 ]'; then
  stage "bash scripts/test.sh"
  if ! in_root 'cd /root/vireo && bash scripts/test.sh'; then
    failed="bash scripts/test.sh"
  fi
else
  failed="bash scripts/run.sh"
fi

cleanup
if [ -n "$failed" ]; then
  die "$failed failed in the fresh root (kept in $dir; look inside with: chroot $dir)"
fi
if [ "$keep" -eq 0 ]; then
  stage "removing the root"
  rm -rf --one-file-system "$dir"
fi
result "PASSED: bash scripts/run.sh and bash scripts/test.sh on a fresh Debian $codename as root"

#!/usr/bin/env bash
# The playbooks of docs/ansible against two sites served on 127.0.0.1: the backup collects each
# site's summary and fails the site whose router does not answer while the other completes; the
# rollout, a site at a time, stops at that site and leaves the next untouched, unless told to go
# on. North's channels are authenticated: their secret shows in no process's command line, no
# output and no file but its own. Arguments: the vireo program, the playbooks' folder, a work
# folder.
set -euo pipefail
vireo=$1 playbooks=$2 work=$3
if ! command -v ansible-playbook >/dev/null; then
  echo "ansible-playbook is not installed (Debian: ansible-core): the playbooks are not run"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work/home"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
export XDG_DATA_HOME=$work/data ANSIBLE_LOCAL_TEMP=$work/ansible-tmp ANSIBLE_NOCOLOR=1

fail() { echo "FAIL: $*" >&2; exit 1; }

# Serves a folder of nodes and makes it a site; the site's links come from the server's lines.
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true' EXIT
secret=5ec7e75ec7e75ec7e75ec7e75ec7e75e
(umask 077 && echo "$secret" >"$work/key")  # a key file of this user alone
serve_site() {  # name channels keyfile node...
  local name=$1 channels=$2 key=()
  [ -n "$3" ] && key=(--auth-key-file "$3")
  shift 3
  for node in "$@"; do
    "$vireo" node new --network "$work/$name" --name "$node" >/dev/null
  done
  mkfifo "$work/$name.fifo"
  "$vireo" site serve "$work/$name" --channels "$channels" --port 0 --unpaced "${key[@]}" \
    >"$work/$name.fifo" &
  pids+=($!)
  exec {fd}<"$work/$name.fifo"
  local links=()
  for ((k = 1; k <= channels; k++)); do
    read -r -t 20 line <&"$fd" || fail "site serve $name printed no channel line"
    links+=(--link "$(sed -E 's/^Channel [0-9]+: ([^,]+),.*/\1/' <<<"$line")")
  done
  "$vireo" site new "$name" "${links[@]}" "${key[@]}" >/dev/null
  # The routers are strict: this PC becomes a member of their channel first.
  "$vireo" site configure "$name" >/dev/null || fail "site configure $name"
  "$vireo" discover --site "$name" --save --wait 1 >/dev/null 2>&1
}
serve_site north 2 "$work/key" boiler-1 boiler-2 tank
serve_site south 1 "" annex
rm "$work/key"
# South's router goes away: its node fails, north's complete.
kill "${pids[1]}"

cat >"$work/inventory.ini" <<INVENTORY
[vireo_sites]
south vireo_site=south
north vireo_site=north

[vireo_sites:vars]
ansible_connection=local
ansible_python_interpreter=$(command -v python3)
vireo_command=$vireo
vireo_backup_dir=$work/backup/{{ vireo_site }}
vireo_summary_dir=$work/summaries
INVENTORY
summary() { python3 -c "import json,sys; d=json.load(open(sys.argv[1])); print(d['completed'], d['total'])" "$1"; }

echo "== backup"
if ansible-playbook -i "$work/inventory.ini" "$playbooks/backup.yml" >"$work/backup.log" 2>&1; then
  fail "the backup passed with south's router silent"
fi
grep -Eq 'north +: ok=[0-9]+ +changed=[0-9]+ +unreachable=0 +failed=0' "$work/backup.log" ||
  fail "north did not back up: $(cat "$work/backup.log")"
grep -Eq 'south +: .*failed=1' "$work/backup.log" || fail "south did not fail"
grep -q 'south: 0 of 1 nodes completed; failed: annex' "$work/backup.log" ||
  fail "the failure does not name south's node"
[ "$(summary "$work/summaries/north-export.json")" = "3 3" ] || fail "north's summary"
[ "$(summary "$work/summaries/south-export.json")" = "0 1" ] || fail "south's summary"
for node in boiler-1 boiler-2 tank; do
  [ -s "$work/backup/north/$node.txt" ] || fail "north's $node.txt is missing"
done

echo "== rollout, stopping at the first failing site"
echo Quorka >"$work/password"
rollout() {
  ansible-playbook -i "$work/inventory.ini" "$playbooks/rollout.yml" \
    -e "vireo_settings_file=$work/backup/north/tank.txt" -e "vireo_password_file=$work/password" \
    "$@" >"$work/rollout.log" 2>&1
}
if rollout; then fail "the rollout passed with south's router silent"; fi
[ -e "$work/summaries/south-download.json" ] || fail "south was not tried first"
[ ! -e "$work/summaries/north-download.json" ] || fail "the rollout went on after south failed"
echo "== rollout, going on past a failing site"
if rollout -e vireo_stop_at_first_failure=false; then fail "south's failure was not reported"; fi
[ "$(summary "$work/summaries/north-download.json")" = "3 3" ] || fail "north's download"
echo "== the secret"
for pid in "${pids[@]}"; do
  if [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qi "$secret"; then
    fail "a command line holds the secret"
  fi
done
leaks=$(grep -rli "$secret" "$work" --exclude=north.secret || true)
[ -z "$leaks" ] || fail "the secret is in $leaks"
[ -s "$work/config/vireo/sites/north.secret" ] || fail "the secret is not kept beside the site"
echo "ok"

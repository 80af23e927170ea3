#!/usr/bin/env bash
# Whole-process benchmark of tmpro against the floors the wallet format allows.
#
#   tools/bench.sh [CARDS...]          default: 1000 10000 100000
#
# Builds the bench preset (optimised), generates one wallet per size with bench/MakeWallet (20
# folders; six fields and a 200-character note per card), then times each command with hyperfine
# and measures its peak memory with /usr/bin/time -v. Each command is printed beside its floor,
# measured in the same run on the same wallet:
#   tree floor  bench/WalletFloor tree: the blocks, every record header, every name deciphered
#   find floor  bench/WalletFloor find: also every field name and value deciphered
#   save floor  cp of the wallet and a sync of the copy
# Commands that change the wallet run on a fresh copy each time (hyperfine --prepare, not timed).
# `upgrade` opens a fresh copy of a wallet of the previous format (MakeWallet --old) with `tmpro --yes show`,
# which upgrades it and shows one card; `convert` converts an older .wal wallet (MakeWallet --wal) into a
# new one; both against the find floor plus the save floor.
# Environment: BENCH_DIR (wallets and copies; default build/bench-wallets), BENCH_RUNS (hyperfine
# runs per command; default: 10, 5 from 10 000 cards, 3 from 100 000), BENCH_SKIP (commands to
# leave out, e.g. "passwd export").
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(1000 10000 100000)
for tool in hyperfine jq; do
    command -v "$tool" >/dev/null || { echo "bench.sh: $tool is needed (apt-get install $tool)" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "bench.sh: /usr/bin/time is needed (apt-get install time)" >&2; exit 1; }

if [ -f /etc/profile.d/ccache-tw.sh ]; then source /etc/profile.d/ccache-tw.sh; fi
cmake --preset bench >/dev/null
cmake --build --preset bench -j2 --target tmpro MakeWallet WalletFloor >/dev/null
bin=$root/build/bench
tmpro=$bin/cli/tmpro
[ -x "$tmpro" ] || tmpro=$(find "$bin" -name tmpro -type f -perm -u+x | head -1)
dir=${BENCH_DIR:-$root/build/bench-wallets}
mkdir -p "$dir"
pwfile=$dir/password
printf 'benchmark\n' >"$pwfile"
results=$dir/results.txt
: >"$results"

# mean seconds of one command (hyperfine), then peak resident kB of one run
measure() { # name prepare command
    local name=$1 prepare=$2 cmd=$3 json=$dir/h.json
    local args=(--style none --warmup 1 --runs "$runs" --export-json "$json")
    [ -n "$prepare" ] && args+=(--prepare "$prepare")
    hyperfine "${args[@]}" "$cmd" >/dev/null 2>&1 || { echo "bench.sh: failed: $cmd" >&2; return 1; }
    local mean cpu peak
    mean=$(jq '.results[0].mean' "$json")
    cpu=$(jq '.results[0].user + .results[0].system' "$json")
    if [ -n "$prepare" ]; then bash -c "$prepare"; fi
    peak=$(/usr/bin/time -f %M bash -c "exec $cmd" 2>&1 >/dev/null | tail -1)
    echo "$name $mean $cpu $peak"
}

# Wall-clock time is what a user waits; on a busy machine the processor time (user + system) of
# the same runs shows the work itself more steadily, so both are printed, each beside its floor.
printf '%-7s %-7s %9s %-5s %9s %6s %9s %9s %6s %8s\n' cards command ms floor floor_ms ratio cpu_ms floor_cpu ratio peak_MB
for n in "${sizes[@]}"; do
    runs=${BENCH_RUNS:-$([ "$n" -ge 100000 ] && echo 3 || ([ "$n" -ge 10000 ] && echo 5 || echo 10))}
    master=$dir/wallet-$n.tm5
    [ -f "$master" ] || "$bin/bench/MakeWallet" "$master" "$n"
    oldMaster=$dir/wallet-old-$n.tm5
    walMaster=$dir/wallet-$n.wal
    case " ${BENCH_SKIP:-} " in *" upgrade "*) ;; *) [ -f "$oldMaster" ] || "$bin/bench/MakeWallet" --old "$oldMaster" "$n" ;; esac
    case " ${BENCH_SKIP:-} " in *" convert "*) ;; *) [ -f "$walMaster" ] || "$bin/bench/MakeWallet" --wal "$walMaster" "$n" ;; esac
    # A file just written sits in the page cache in small pieces, and reading it costs up to twice
    # what reading it after the kernel's read-ahead does; drop the generated files from the cache
    # and read them back, so that every run starts from the same state.
    for f in "$master" "$oldMaster" "$walMaster"; do
        [ -f "$f" ] && sync "$f" && dd if="$f" iflag=nocache count=0 status=none && cat "$f" >/dev/null
    done
    work=$dir/work-$n.tm5
    fresh="cp $master $work"
    mid=$((n / 2 + 1))
    midFolder=$(((n / 2) % 20 + 1))
    pw="--password-file $pwfile"
    declare -A floor floorCpu
    read -r _ floor[tree] floorCpu[tree] _ < <(measure tree-floor "" "$bin/bench/WalletFloor tree $master benchmark")
    read -r _ floor[find] floorCpu[find] _ < <(measure find-floor "" "$bin/bench/WalletFloor find $master benchmark")
    read -r _ floor[save] floorCpu[save] _ < <(measure save-floor "rm -f $work.copy" "bash -c 'cp $master $work.copy && sync $work.copy'")
    rm -f "$work.copy"
    row() { # command floor prepare cmd
        local name=$1 kind=$2 prepare=$3 cmd=$4 mean cpu peak f fc
        case " ${BENCH_SKIP:-} " in *" $name "*) return 0 ;; esac
        read -r _ mean cpu peak < <(measure "$name" "$prepare" "$cmd")
        if [ "$kind" = both ]; then
            f=$(echo "${floor[find]} + ${floor[save]}" | bc -l)
            fc=$(echo "${floorCpu[find]} + ${floorCpu[save]}" | bc -l)
        else
            f=${floor[$kind]}
            fc=${floorCpu[$kind]}
        fi
        printf '%-7s %-7s %9.1f %-5s %9.1f %6.2f %9.1f %9.1f %6.2f %8.1f\n' "$n" "$name" "$(echo "$mean*1000" | bc -l)" \
            "$kind" "$(echo "$f*1000" | bc -l)" "$(echo "$mean/$f" | bc -l)" "$(echo "$cpu*1000" | bc -l)" \
            "$(echo "$fc*1000" | bc -l)" "$(echo "$cpu/$fc" | bc -l)" "$(echo "$peak/1024" | bc -l)" | tee -a "$results"
    }
    row info tree "" "$tmpro info $master"
    row tree tree "" "$tmpro tree $master $pw"
    row ls tree "" "$tmpro ls $master $pw"
    row find find "" "$tmpro find $master needle-4711 $pw"
    row show tree "" "$tmpro show $master 'Folder $midFolder/Card $mid' $pw"
    row add tree "$fresh" "$tmpro add $work 'Folder 1' --name Added $pw"
    row mv tree "$fresh" "$tmpro mv $work 'Folder 1/Card 1' 'Folder 2' $pw"
    row rename tree "$fresh" "$tmpro rename $work 'Folder 1/Card 1' Renamed $pw"
    row fav tree "$fresh" "$tmpro fav $work add 'Folder 1/Card 1' $pw"
    row edit save "$fresh" "$tmpro edit $work 'Folder 1/Card 1' --set 'User name=changed' $pw"
    row rm save "$fresh" "$tmpro rm $work 'Folder 1/Card 1' $pw"
    row passwd both "$fresh" "bash -c \"printf 'benchmark\\\\nchanged1\\\\nchanged1\\\\n' | $tmpro passwd $work --keep-hint\""
    row export both "rm -rf $dir/export" "$tmpro export $master --out $dir/export --format csv $pw"
    row upgrade both "cp $oldMaster $work" "$tmpro --yes show $work 'Folder 1/Card 1' $pw"
    row convert both "rm -f $dir/converted.tm5" "$tmpro convert $walMaster $dir/converted.tm5 $pw"
    rm -rf "$work" "$dir/export" "$dir/converted.tm5" "$dir/h.json"
    unset floor floorCpu
done

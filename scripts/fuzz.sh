#!/usr/bin/env bash
# Fuzzes every target under fuzz/targets/ with libFuzzer (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) for FUZZ_SECONDS each (100 by default), two targets at a time, and prints
# each target's executions per second. The committed seeds in fuzz/corpus/<target>/ start each run; new
# inputs go to build-fuzz/corpus/<target>/ so the committed seeds stay hand-made. A crash or broken
# property is copied to fuzz/crashes/<target>/, where `make test` replays it from then on, and the script
# fails.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build-fuzz"
seconds=${FUZZ_SECONDS:-100}
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -fno-omit-frame-pointer -fPIC -I"$root/src" -I"$root/platform" $(pkg-config --cflags Qt6Core))

mkdir -p "$out/obj"
objects=()
while read -r source; do
    [ -n "$source" ] || continue
    object="$out/obj/$(echo "$source" | tr / _).o"
    if [ ! -f "$object" ] || [ "$root/$source" -nt "$object" ]; then
        clang++ "${flags[@]/-fsanitize=fuzzer,/-fsanitize=fuzzer-no-link,}" -c "$root/$source" -o "$object" || exit 1
    fi
    objects+=("$object")
done < "$root/fuzz/sources.txt"

# An archive, so that each target takes only the objects it uses (the text layout's platform calls are
# stand-ins inside its own target).
rm -f "$out/libfuzz_system.a"
ar rcs "$out/libfuzz_system.a" "${objects[@]}" || exit 1

targets=()
for source in "$root"/fuzz/targets/*.cpp; do
    name=$(basename "$source" .cpp)
    clang++ "${flags[@]}" "$source" "$out/libfuzz_system.a" $(pkg-config --libs nettle libarchive Qt6Core) -o "$out/fuzz_$name" || exit 1
    targets+=("$name")
done

run() {
    local name=$1
    mkdir -p "$out/corpus/$name" "$out/artifacts/$name"
    "$out/fuzz_$name" "$out/corpus/$name" "$root/fuzz/corpus/$name" -max_total_time="$seconds" \
        -print_final_stats=1 -artifact_prefix="$out/artifacts/$name/" >"$out/$name.log" 2>&1
    local status=$?
    local execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/$name.log" | grep -o '[0-9]*$')
    local rate=$(grep -o 'exec/s: *[0-9]*' "$out/$name.log" | tail -1 | grep -o '[0-9]*$')
    local found=$(find "$out/artifacts/$name" -type f | wc -l)
    if [ "$found" -gt 0 ]; then
        mkdir -p "$root/fuzz/crashes/$name"
        cp "$out/artifacts/$name"/* "$root/fuzz/crashes/$name/"
    fi
    printf '%-16s %10s executions %8s exec/s  %d findings (exit %d)\n' "$name" "${execs:-?}" "${rate:-?}" "$found" "$status"
    [ "$found" -eq 0 ] && [ "$status" -eq 0 ]
}

failed=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
    pids=()
    for name in "${targets[@]:i:2}"; do
        run "$name" &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do
        wait "$pid" || failed=1
    done
done
exit $failed

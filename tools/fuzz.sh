#!/usr/bin/env bash
# Fuzzes the backup file reader natively with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
#   tools/fuzz.sh SECONDS [TARGET]     TARGET: xml_reader (default) or value_text
# The corpus grows in build-fuzz/corpus/TARGET (seeded from fuzz/corpus/TARGET); crash inputs land in
# build-fuzz/crashes/TARGET. Copy a crash input to fuzz/regressions/TARGET to keep it as a test.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_TO_RUN=${1:?usage: tools/fuzz.sh SECONDS [xml_reader|value_text]}
TARGET=${2:-xml_reader}
OUT=${FUZZ_BUILD_DIR:-$ROOT/build-fuzz}
mkdir -p "$OUT/corpus/$TARGET" "$OUT/crashes/$TARGET"

CXX=${CXX:-clang++}
FLAGS=(-std=c++20 -g -O1 "-fsanitize=fuzzer,address,undefined" -fno-sanitize-recover=undefined
       -I"$ROOT/src" -I"$ROOT/fuzz")
case "$TARGET" in
    xml_reader) SOURCES=("$ROOT/fuzz/xml_reader_fuzz.cpp" "$ROOT/src/backup/xml_reader.cpp") ;;
    value_text) SOURCES=("$ROOT/fuzz/value_text_fuzz.cpp" "$ROOT/src/engine/value_text.cpp"
                         "$ROOT/fuzz/shim/win32_text.cpp")
                FLAGS+=(-I"$ROOT/fuzz/shim") ;;
    *) echo "unknown target $TARGET" >&2; exit 2 ;;
esac
"$CXX" "${FLAGS[@]}" "${SOURCES[@]}" -o "$OUT/$TARGET-fuzz"

# Seeds and kept regressions join the working corpus; the regressions must still pass first.
cp -n "$ROOT/fuzz/corpus/$TARGET/"* "$OUT/corpus/$TARGET/" 2>/dev/null || true
if compgen -G "$ROOT/fuzz/regressions/$TARGET/*" >/dev/null; then
    "$OUT/$TARGET-fuzz" "$ROOT/fuzz/regressions/$TARGET/"* >/dev/null 2>&1 ||
        { echo "a kept regression input fails again" >&2; exit 1; }
fi
cd "$OUT"
exec "$OUT/$TARGET-fuzz" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -artifact_prefix="$OUT/crashes/$TARGET/" -print_final_stats=1 "$OUT/corpus/$TARGET"

# What the vantrel-cli benchmarks share; sourced by them with their own
# arguments, BUILD_DIR [COUNT], and `usage` set to their usage line.
#
# Sets `cli` (the vantrel-cli binary), `ini` (a settings file with the
# defaults) and `count`; fills a temporary folder, removed on exit, with
# COUNT copies (default 10,000) of the sample pilot, makes it the current
# folder with the files in the page cache, and defines best.
build=${1:?$usage}
count=${2:-10000}
cli="$build/cli/vantrel-cli"
sample="$build/samples/Kestrel_Red.plt"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/pilots"
for ((i = 0; i < count; i++)); do
  cp "$sample" "$work/pilots/pilot_$i.plt"
done
ini="$work/vantrel.ini"
printf '[ZADAdeda]\n' > "$ini"

cd "$work/pilots"
cat -- *.plt > /dev/null

best() {  # best of five wall-clock runs, in nanoseconds
  local best=999999999999999 t
  for _ in 1 2 3 4 5; do
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null
    end=$(date +%s%N)
    t=$(( end - start ))
    (( t < best )) && best=$t
  done
  echo "$best"
}

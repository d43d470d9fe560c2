# The gangsters' shots, one sound for each of the eight shooting figures: the
# two-gun man's double tap, the machine gunners' bursts, heavy and light
# revolvers, a ricochet, a sawn-off boom, a long alley echo. They sound a
# little farther off than the players' own.
source "$(dirname "$0")/lib.sh"
# burst NAME SHOTS GAP: a machine-gun burst.
burst() {
  local name=$1 n=$2 gap=$3 parts=()
  for ((i = 0; i < n; i++)); do
    shot "$name$i" 0.14 $((2000 + i * 150)) 100 1400
    later "$name$i" "$(awk "BEGIN { print $i * $gap }")"
    parts+=("$name$i")
  done
  mixof "$name" "${parts[@]}"
}
far=(lowpass 4200)
case $1 in
1)
  shot a 0.35 2000 85 1600
  shot b 0.35 2200 80 1600
  later b 0.16
  mixof s a b
  finish s -3 0.8 "${far[@]}" reverb 55 50 90 80 10 -3
  ;;
2)
  burst s 4 0.075
  finish s -3 0.8 "${far[@]}" reverb 50 50 90 80 10 -3
  ;;
3)
  shot s 0.7 1300 60 1000
  finish s -3 0.8 "${far[@]}" reverb 60 40 100 80 10 -3
  ;;
4)
  shot s 0.45 1900 80 1500
  tone whine 0.5 sine 3400-1400 gain -14 tremolo 30 40
  later whine 0.12
  mixof m s whine
  finish m -3 0.8 "${far[@]}" reverb 45 50 80 80 10 -4
  ;;
5)
  shot s 0.3 2600 95 2000
  finish s -3 0.8 "${far[@]}" reverb 50 60 70 80 10 -4
  ;;
6)
  burst s 3 0.085
  finish s -3 0.8 lowpass 3600 reverb 60 50 100 80 10 -3
  ;;
7)
  shot s 0.9 900 50 800
  finish s -3 0.8 "${far[@]}" reverb 65 40 100 80 10 -3
  ;;
8)
  shot s 0.35 2100 85 1600
  finish s -3 0.8 "${far[@]}" echo 0.8 0.7 180 0.35 390 0.18 reverb 40 50 80 80 10 -5
  ;;
esac

# A bullet striking the figures' steel plates: a hard tick and a ringing of
# unevenly spaced partials; three plates of different size.
source "$(dirname "$0")/lib.sh"
case $1 in
1) base=820 len=0.7 ;;
2) base=1130 len=0.55 ;;
3) base=610 len=0.85 ;;
esac
noise tick 0.012 white highpass 3000
parts=(tick)
k=0
for ratio in 1 2.32 4.25 6.63 9.38; do
  hz=$(awk "BEGIN { printf \"%d\", $base * $ratio }")
  l=$(awk "BEGIN { print $len / (1 + $k * 0.6) }")
  tone "p$k" "$l" sine "$hz" gain "-$((k * 3 + 4))"
  parts+=("p$k")
  k=$((k + 1))
done
mixof m "${parts[@]}"
finish m -4 0.2 reverb 20 50 40 60 0 -10

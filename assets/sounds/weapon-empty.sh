# The dry clicks of an empty weapon: 1 a hammer falling, 2 the cylinder
# turning and the hammer, 3 the Thompson's bolt slamming home on nothing.
source "$(dirname "$0")/lib.sh"
case $1 in
1)
  click c 2300 0.05
  finish c -6 0.05 reverb 10 50 20 0 0 -10
  ;;
2)
  click turn 3400 0.02
  click hammer 2100 0.05
  later hammer 0.07
  mixof c turn hammer
  finish c -6 0.05 reverb 10 50 20 0 0 -10
  ;;
3)
  noise clunk 0.06 brown bandpass 700 400h gain 8
  click ring 1400 0.08
  mixof c clunk ring
  finish c -6 0.05 reverb 10 50 20 0 0 -10
  ;;
esac

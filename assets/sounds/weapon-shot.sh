# The players' shots: 1 the Single Action's big old revolver, 2 the
# Six-Shooter's sharper service round, 3 the Thompson's short hard bark.
source "$(dirname "$0")/lib.sh"
case $1 in
1)
  shot s 0.75 1600 70 1200
  finish s -1 0.6 reverb 45 40 80 60 0 -4 lowpass 5500
  ;;
2)
  shot s 0.5 2600 90 1800
  finish s -1 0.6 reverb 35 50 60 60 0 -5 lowpass 7000
  ;;
3)
  shot s 0.16 2400 110 1500
  click bolt 1900 0.04
  later bolt 0.05
  mixof m s bolt
  finish m -1 0.15 reverb 20 50 40 50 0 -8
  ;;
esac

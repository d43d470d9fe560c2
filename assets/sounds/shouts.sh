# The crowd shouts when the last gangster is out: voices calling over a
# murmur, in the street.
source "$(dirname "$0")/lib.sh"
ESPEAK=${ESPEAK:-espeak-ng}
# voice NAME START VOICE PITCH SPEED TEXT
voice() {
  local name=$1 start=$2 v=$3 pitch=$4 speed=$5 text=$6
  "$ESPEAK" -v "$v" -p "$pitch" -s "$speed" -a 180 -w "$work/$name-raw.wav" "$text"
  "$SOX" "$work/$name-raw.wav" "${fmt[@]}" "$work/$name.wav" gain -10 highpass 200 pad "$start"
}
voice a 0.0 en+m3 40 190 "Look out!"
voice b 0.35 en+f3 70 200 "Police!"
voice c 0.7 en-us+m1 30 180 "Get down!"
voice d 1.1 en+f2 80 210 "Help! Help!"
voice e 1.5 en+m7 50 170 "They got him!"
voice f 2.0 en-us+f4 65 200 "Run!"
noise murmur 3.2 brown bandpass 500 600h tremolo 3 60 gain 4
"$SOX" "$work/murmur.wav" "$work/murmur2.wav" fade t 0.2 3.2 0.8
mv "$work/murmur2.wav" "$work/murmur.wav"
mixof m a b c d e f murmur
finish m -4 0.8 lowpass 6000 reverb 50 50 80 100 20 -3

#!/usr/bin/env bash
# Plots Qolm's magnitude response into docs/response.png: Res 0, 50 and 100 %
# at cut offs of 100, 1000 and 10000 Hz, at 48 kHz. Each curve is the FFT of
# the impulse response rendered through the built plug-in by qolm-host.
#
# usage: tools/plot-response.sh [QOLM_HOST [OUT.png]]
#   QOLM_HOST  default build/x64/tools/qolm-host (it loads the Qolm.so beside it)
#   OUT.png    default docs/response.png
# Needs Debian's python3-numpy and gnuplot (scripts/setup.sh installs both).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
host=${1:-$root/build/x64/tools/qolm-host}
out=${2:-$root/docs/response.png}
python=/usr/bin/python3
rate=48000
length=32768

[ -x "$host" ] || { echo "plot-response: no qolm-host at $host (build it first)" >&2; exit 1; }
command -v gnuplot >/dev/null || { echo "plot-response: gnuplot is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A unit impulse, mono, 32-bit float WAV.
"$python" - "$work/impulse.wav" "$rate" "$length" <<'EOF'
import struct, sys
path, rate, n = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
data = struct.pack('<f', 1.0) + bytes(4 * (n - 1))
fmt = struct.pack('<HHIIHH', 3, 1, rate, rate * 4, 4, 32)
with open(path, 'wb') as f:
    f.write(b'RIFF' + struct.pack('<I', 4 + 8 + len(fmt) + 8 + len(data)) + b'WAVE')
    f.write(b'fmt ' + struct.pack('<I', len(fmt)) + fmt)
    f.write(b'data' + struct.pack('<I', len(data)) + data)
EOF

cutoffs="100 1000 10000"
resonances="0 50 100"
for cut in $cutoffs; do
    for res in $resonances; do
        "$host" render --quiet --param "Gain=0" --param "Cut Off=$cut" --param "Res=$res" \
            "$work/impulse.wav" "$work/ir-$cut-$res.wav"
    done
done

# One row per frequency: the frequency, then the nine curves in dB.
"$python" - "$work" "$rate" "$cutoffs" "$resonances" > "$work/response.dat" <<'EOF'
import struct, sys
import numpy as np
work, rate = sys.argv[1], int(sys.argv[2])
cutoffs, resonances = sys.argv[3].split(), sys.argv[4].split()

def read_float_wav(path):
    data = open(path, 'rb').read()
    pos = 12
    while pos + 8 <= len(data):
        chunk, size = data[pos:pos + 4], struct.unpack('<I', data[pos + 4:pos + 8])[0]
        if chunk == b'data':
            return np.frombuffer(data[pos + 8:pos + 8 + size], dtype='<f4').astype(np.float64)
        pos += 8 + size + (size & 1)
    raise SystemExit('no data in ' + path)

freqs = np.geomspace(10.0, rate / 2.0, 1200)
columns = []
for cut in cutoffs:
    for res in resonances:
        ir = read_float_wav(f'{work}/ir-{cut}-{res}.wav')
        spectrum = np.abs(np.fft.rfft(ir))
        bins = np.fft.rfftfreq(len(ir), 1.0 / rate)
        columns.append(20.0 * np.log10(np.maximum(np.interp(freqs, bins, spectrum), 1e-12)))
print('# Hz ' + ' '.join(f'fc{c}_res{r}' for c in cutoffs for r in resonances))
for i, f in enumerate(freqs):
    print(f'{f:.3f} ' + ' '.join(f'{col[i]:.4f}' for col in columns))
EOF

mkdir -p "$(dirname "$out")"
gnuplot <<EOF
set terminal pngcairo size 1200,700 enhanced font "DejaVu Sans,12" background rgb "#16181d"
set output "$out"
set border lc rgb "#9aa0aa"
set tics textcolor rgb "#c8ccd4"
set title "Qolm magnitude response at 48 kHz" textcolor rgb "#e8eaee" font ",15"
set xlabel "Frequency (Hz)" textcolor rgb "#c8ccd4"
set ylabel "Gain (dB)" textcolor rgb "#c8ccd4"
set logscale x
set xrange [10:24000]
set yrange [-60:20]
set xtics ("10" 10, "20" 20, "50" 50, "100" 100, "200" 200, "500" 500, "1k" 1000, "2k" 2000, "5k" 5000, "10k" 10000, "20k" 20000)
set ytics 10
set mxtics 10
set grid xtics mxtics ytics lc rgb "#2c3038" lw 1, lc rgb "#22252c" lw 1
set key bottom right textcolor rgb "#e8eaee" box lc rgb "#3a3f48" opaque
set style line 1 lc rgb "#4fc3f7" lw 2 dt 1
set style line 2 lc rgb "#4fc3f7" lw 2 dt 2
set style line 3 lc rgb "#4fc3f7" lw 2 dt 3
set style line 4 lc rgb "#ffb74d" lw 2 dt 1
set style line 5 lc rgb "#ffb74d" lw 2 dt 2
set style line 6 lc rgb "#ffb74d" lw 2 dt 3
set style line 7 lc rgb "#e57373" lw 2 dt 1
set style line 8 lc rgb "#e57373" lw 2 dt 2
set style line 9 lc rgb "#e57373" lw 2 dt 3
f = "$work/response.dat"
plot f u 1:2 w l ls 1 t "100 Hz, Res 0 %", \
     f u 1:3 w l ls 2 t "100 Hz, Res 50 %", \
     f u 1:4 w l ls 3 t "100 Hz, Res 100 %", \
     f u 1:5 w l ls 4 t "1 kHz, Res 0 %", \
     f u 1:6 w l ls 5 t "1 kHz, Res 50 %", \
     f u 1:7 w l ls 6 t "1 kHz, Res 100 %", \
     f u 1:8 w l ls 7 t "10 kHz, Res 0 %", \
     f u 1:9 w l ls 8 t "10 kHz, Res 50 %", \
     f u 1:10 w l ls 9 t "10 kHz, Res 100 %"
EOF
echo "plot-response: wrote $out"

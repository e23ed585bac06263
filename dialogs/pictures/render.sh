#!/bin/sh
# Makes the PNG and ICO pictures from vesnor.svg (needs librsvg2-bin and imagemagick).
# The results are kept in the repository, so building never needs these tools.
set -eu
cd "$(dirname "$0")"
rsvg-convert -w 32 -h 32 vesnor.svg -o vesnor.png
rsvg-convert -w 256 -h 256 vesnor.svg -o vesnor-256.png
rsvg-convert -w 16 -h 16 vesnor.svg -o vesnor-16.png
rsvg-convert -w 48 -h 48 vesnor.svg -o vesnor-48.png
convert vesnor-16.png vesnor.png vesnor-48.png vesnor-256.png vesnor.ico
rm vesnor-16.png vesnor-48.png

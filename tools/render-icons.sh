#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG drawing into packaging/icons/<N>x<N>/.
# Needs rsvg-convert (Debian package librsvg2-bin). Run it after changing the drawing and
# commit the regenerated PNGs.
set -euo pipefail
cd "$(dirname "$0")/.."
id=org.example.ondrava.Ondrava
svg=packaging/icons/scalable/$id.svg
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing (apt-get install librsvg2-bin)" >&2; exit 1; }
for size in 16 32 48 64 128 256; do
  mkdir -p "packaging/icons/${size}x${size}"
  rsvg-convert --width "$size" --height "$size" --format png \
      --output "packaging/icons/${size}x${size}/$id.png" "$svg"
done
echo "Rendered $svg into packaging/icons/<N>x<N>/$id.png"

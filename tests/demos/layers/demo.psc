# A 2D demo: pictures, a picture sequence, two colours, moving, fading and additive layers
# and a music stream. The frame checks in tests/e2e/capture_layers_test.cpp follow it.
loadimage backdrop.png back
loadimage photo.jpg photo
loadimage counter.seq counter
createcolor 0 0 128 navy
createcolor 255 128 0 orange
loadmusic theme.wav theme
playmusic theme 30000
setvolume 200
setlayer navy -1
setlayer back 0
setlayerpos 0 100 100
setlayer photo 1
setlayerpos 1 400 300
include part2.psc 1000
waituntil 3000

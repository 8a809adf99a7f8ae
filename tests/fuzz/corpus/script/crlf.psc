loadmusic theme.ogg Theme
playmusic theme 30000

setvolume 128
stopmusic
freemusic theme

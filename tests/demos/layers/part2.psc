# Second act, written in times relative to its include offset (1000 ms).
waituntil 0
setlayer counter 2
setlayerpos 2 700 50
setlayerposdelta 1 -100 0
setlayer orange 5
setlayeralpha 5 0
setlayeralphadelta 5 0.5
setlayeradditive 0 1
waituntil 1000
setlayeralphadelta 5 -0.5

# demo
loadimage Logo.PNG Title
createcolor 255 128 0 orange
setlayer TITLE 3
setlayer orange -1
setlayeralpha 3 0.5
setlayerposdelta 3 100 -20
setlayeralphadelta 3 -0.25
setlayeradditive 3 1
waituntil 1000
wait 0
settime 1500.9
include b 60000
removelayer -1
clearlayers

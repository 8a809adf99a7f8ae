include b 500
waituntil 1000
include c 250
loadscene city.psk city
playscene CITY
setactivecamera Cam01
setscenetime 0
stopscene
freescene city

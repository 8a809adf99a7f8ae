loadflash intro.swf movie
playflash movie 1 1
setflashtime 0
stopflash
freeflash movie
freeimage title
	# note

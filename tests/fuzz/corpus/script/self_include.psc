include a 0

# An unknown command stops the script with status 2 and names the line.
print Estart
Frobnicate
print Estart

# Current files: import 201 points from -0.5 V to 0.5 V in 5 mV steps, export the active range and
# import it again (one point fewer each time). A file with blank lines, tabs, LF line ends, a
# byte-order mark and no final line end reads; a header line names the columns; a file without
# numbers is refused and leaves the curve alone.
Import data/ramp201.csv
print NPoints
print LastIndex
print LastPoint
print Estep
print E(200)
Export out.csv
Import out.csv
print NPoints
print LastPoint
Import data/hostile.csv
print NPoints
print E(3)
print Estep
Import data/header.csv
print NPoints
Import data/no_numbers.csv
print NPoints
Export

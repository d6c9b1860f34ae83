# Measured curves as instruments export them: each file structure imports the last complete cycle
# by default, with reduction-positive currents; a second word chooses another cycle or all of them;
# an unknown option and a missing cycle are refused, leaving the curve alone.
Import data/measured_channel.txt
print NPoints
print NForward
print E(3)
print Curve(0,1)
print WaveT(0)
it
print XAxis(1)
Import data/measured_channel.txt cycle=1
print Curve(0,1)
Import data/measured_counted.mpt all
print NPoints
print Curve(15,1)
Import data/measured_tagged.DTA cycle=5
print NPoints
Import data/measured_tagged.DTA cycles=2
Import data/measured_dated.txt
print Curve(0,1)
print Estep
Import data/measured_twoline.csv
print Curve(6,1)

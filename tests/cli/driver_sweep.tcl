# Staircase programmes of the sweep techniques: a single sweep, one cycle and three cycles.
set Estart 0.2
set Eend -0.4
set Estep 0.005
Simulate
print NPoints
print NForward
print FirstPoint
print LastPoint
print E(1)
print E(120)
select ComboScan 1
Simulate
print NPoints
print E(121)
print E(241)
select ComboScan 3
Simulate
print NPoints
print E(484)
print E(725)
dump sweep.csv

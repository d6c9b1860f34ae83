# Potential-step chronoamperometry: one step, then one cycle of forward and back steps; the point
# after the last whole block continues the programme at the start potential.
select optTech 8
ok FormTech
set TextTexp 1
set td 0.01
Simulate
print NPoints
print E(0)
print E(100)
print XTitle
select ComboScan 1
set TextTexp 1
Simulate
print NForward
print E(49)
print E(50)
print E(99)
print E(100)

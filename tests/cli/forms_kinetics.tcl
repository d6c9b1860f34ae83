# Kinetics dialog: rate-constant limits, Keq and a zero kb, the E' limits, validations of ks and pH.
select mech 7
ok FormMech
show FormExpr
set ks(1) 1e4
print TextKsmin(1)
print TextKsmax(1)
set kf(1) 50
print LabelKeq(1)
set kb(1) 0
print LabelKeq(1)
print TextKbmax(1)
set Eze(1) 0.2
print TextEzeromin(1)
print TextEzeromax(1)
set ks(1) -1
print ks(1)
set TextpH 14
set TextpH 14.1
# OK refuses while ks(1) and pH are out of range: nothing is committed (E' stays at its default).
ok FormExpr
print FormalPotential(1)
set ks(1) 1e4
set TextpH 14
ok FormExpr
print Keq(1)
print FormalPotential(1)

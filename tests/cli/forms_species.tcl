# Species dialog: names per mechanism, and the initial concentrations of the two pre-equilibrations.
select mech 10
ok FormMech
show FormSpecies
print specie(1)
print specie(2)
print specie(3)
print specie(4)
select mech 15
ok FormMech
show FormSpecies
print specie(1)
print specie(2)
# A + e = B held at Estart = 0.3 V with E' = 0.1 V: B/A = exp(f (0.1 - 0.3))
select mech 1
ok FormMech
show FormSpecies
check CheckElectrode 1
print Cinit(1)
print Cinit(2)
print fRT
check CheckElectrode 0
# digital: A + e = Z with the chemical equilibrium A = B, Keq 10, from 1e-3 M of A
check CheckDigital 1
set charge(16) Z
set chem2(1) A
set chem2(3) B
ok FormMech
show FormExpr
set kf(1) 1
print LabelKeq(1)
show FormSpecies
print specie(3)
check CheckPreEqu 1
print Cinit(1)
print Cinit(3)
ok FormSpecies
print InitConc(1)
print InitConc(3)

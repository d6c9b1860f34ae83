# The general conversions at a sphere before any digital simulation show their message and change
# nothing; at a planar disk "Co0 to i1" after "C0 vs E" turns the display into a current.
select optTech 2
ok FormTech
Simulate
C0E
print YTitle
select optElectrode 2
ItoC0
C0toI
print YTitle
select optElectrode 1
Co0toI1
print YTitle
print NCurves

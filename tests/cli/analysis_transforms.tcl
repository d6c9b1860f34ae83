# The Y data input boxes on a constant current: a 1 uA baseline with no electroactive species.
set C(1) 0
set TxtI0 1e-6
set TxtI1 1e-6
Simulate
print Curve(50,1)
ScaleY 2e-3
print Curve(50,1)
ScaleY
ScaleY " "
print Curve(50,1)
MoveY 1e-9
print Curve(50,1)
Diff
print Curve(50,1)

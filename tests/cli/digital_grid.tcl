# The digital model of a new experiment chooses its own grid: a staircase simulated as it stands adds
# nothing to the timing report. Typing the time grid (Auto digital model unticked: one step per drop)
# keeps the typed grid, and the timing report says how far from converged it leaves the current.
check CheckDigital 1
ok FormMech
select optTech 7
ok FormTech
print CheckAuto
Simulate
Clear
Time
check CheckAuto 0
set TextTimeGrid 0.5
Simulate
Clear
Time
set TextTimeGrid 0.05
Simulate
Clear
Time

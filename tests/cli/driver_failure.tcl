# A sweep longer than the store's 5001 points ends the run with the simulation error; the command
# still completes its display and timing steps, and Time after Clear shows only the timing lines.
set Estep 0.0001
Simulate
print NPoints
Clear
Time

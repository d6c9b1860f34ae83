# A sweep longer than the store's 1,000,000 points ends the run with the simulation error naming the
# limit; the command still completes its display and timing steps, and Time after Clear shows only the
# timing lines. Nothing was written to the store, so the plot has no data to draw.
set Estep 0.0000005
Simulate
print NPoints
Clear
Time

# Demo: simulate the default experiment (a reversible couple A + e = B, 1 mM, linear sweep from
# 0.3 V to -0.4 V at 10 mV/s on a planar disk), print the timing report and write the curve.
Simulate
Time
dump out/demo-curve.csv
print NPoints

# Theoretical peaks of the default experiment (A + ne = B, n = 1, E0 = 0.1 V, 1 mM, D = 1e-5 cm2/s,
# 7.85e-3 cm2, 0.01 V/s, 25 C, ks = 1e4 cm/s, alpha = 0.5), single sweep and then one cycle.
Simulate
TheoPeak
select ComboScan 1
TheoPeak

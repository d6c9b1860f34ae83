# Stripping from a thin mercury-like film: A + e = B (mechanism 11), E0 = 0.1 V, 1 mM, D = 1e-5 cm2/s,
# film 1 um on 7.85e-3 cm2, deposited for 600 s at -0.6 V stirred at 1000 rpm (nu = 0.01 cm2/s) without
# exhausting the solution, then swept anodically at 1 V/s in 1 mV steps.
# Theory: m = 0.62 D^2/3 w^1/2 nu^-1/6 = 6.345e-3 cm/s, C' = C m t/l = 38.07 mol/L in the film,
# Nernstian stripping peak -n^2 F^2 A v l C'/(e RT) = -4.128e-2 A (-4.157e-2 A with 2.7 for e) at
# E0 + (RT/F) ln(F v l/(RT m)) = 0.1 - 0.0126 = 0.087 V, W1/2 = 2.446 RT/F = 0.063 V; the simulated
# peak adds the little plated during the scan. Unticked, the closed layer's bell at E0 again.
select mech 11
ok FormMech
select optElectrode 9
set Estart -0.6
set Eend 0.4
set Estep 0.001
set V 1
check CheckPreCon 1
set txtEPre -0.6
set txtTPre 600
set txtRStir 1000
set txtTpreconst 0
ok FormIns
Simulate
TheoPeak
FindPeak
check CheckPreCon 0
ok FormIns
Simulate
TheoPeak

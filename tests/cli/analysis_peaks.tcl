# Find Peak, Find Halfwave E and Theoretical Peak on a simulated reversible cyclic voltammogram
# (A + e <-> B at E0 = 0.1 V, 1 mV steps at 0.1 V/s, switched 0.4 V past E0).
select mech 11
set Estart 0.3
set Eend -0.3
set Estep 0.001
set V 0.1
select ComboScan 1
check Yauto 1
Simulate
FindPeak
FindHalfwaveE

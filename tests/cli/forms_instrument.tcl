# Instrument dialog reactions: square-wave frequency, scan rate and experiment time, electrode
# geometry in area form, the ring, the validations and the electrodes offered only digitally.
select optTech 5
ok FormTech
show FormIns
set Estep 0.005
set TextF 10
print tp
print V
select optTech 1
ok FormTech
show FormIns
set V 0.01
set Estep 0.005
print td
set Estart 0.3
set Eend -0.4
select ComboScan 1
print TextTexp
set radius 0.05
print ARE
print ElectrodeVolume
select optElectrode 2
set radius 0.05
print ARE
select optElectrode 8
set radius3 0.08
print ARE
set radius2 0.05
print ARE
select optElectrode 5
print Electrode
set Eend 0.3
set Eend -0.4
set TextTimeGrid ""
set TextTimeGrid 0.6
set TextTimeGrid 0.5
print TextTimeGrid

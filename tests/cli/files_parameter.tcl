# Parameter files: save the default experiment, change it, and open the file again: the texts come
# back and the simulation runs. A file with a scan index outside the list is refused and changes
# nothing; a cancelled save is silent.
SaveParameter default.par
set Estart 0.25
set TextElectrolyte NaClO4
OpenParameter default.par
print Estart
print TextElectrolyte
print Technique
print NPoints
set Estart 0.2
OpenParameter data/scan4.par
print Estart
print ComboScan
OpenParameter
SaveParameter
OpenParameter missing.par

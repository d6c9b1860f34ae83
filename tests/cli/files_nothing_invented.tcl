# Nothing invented from degenerate data, refused values never used. A flat curve has no half-wave
# potential; a file whose potential step overflows, or a chronoamperogram at one potential, keeps the
# typed E step; a file of one record leaves no point to export or convert; the EC' conversion without
# a catalytic rate says so; a comma in E start, a negative sphere radius and an overflowing noise level
# are refused and the store keeps the last good run; Save Parameter refuses a number beyond a double.
ExportCurves empty.csv
Import data/flat21.csv
FindHalfwaveE
Import data/huge_step.csv
print Estep
Import data/measured_step.txt
print Estep
Import data/one_record.csv
Export one.csv
ExportCurves one_curves.csv
i1toC0
Import data/flat21.csv
I8toC0
Clear
Simulate
print NPoints
print E(10)
set Estart 0,3
ok FormIns
Simulate
print StartPotential
print NPoints
set Estart 0.3
select optElectrode 2
set radius -0.1
print radius
print ARE
ok FormIns
Simulate
set radius 0.05
select optElectrode 1
ok FormIns
set Noise 1e308
Simulate
print NPoints
print E(10)
FindPeak
set Noise 0
set V 1e400
SaveParameter refused.par
set V 0.01
SaveParameter saved.par

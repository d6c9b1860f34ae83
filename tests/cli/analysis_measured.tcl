# A measured cycle as an instrument writes it (anodic positive, two scans, charging current, noise,
# 1 nA steps that repeat samples at the tops): Find Peak finds each peak once, before and after the
# background is removed by a blank file and by a baseline fitted to windows of both sweeps; the
# background commands redraw the imported curve against its potentials.
set V 0.1
select ComboScan 1
ok FormIns
Import data/measured_cv.txt
print NForward
FindPeak
SubtractBlank data/measured_cv_blank.txt
FindPeak
Import data/measured_cv.txt
Baseline "0.4 0.5"
FindPeak
Baseline "9 10"
Baseline

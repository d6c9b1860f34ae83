# Waveforms: the default design at a 0.5 s drop time gives 605 points ending at 302 s; saving with
# technique 9 writes the grid, and reading it back restores it. With technique 10 the sampled
# programme is written in print form and read back.
select optTech 9
ok FormTech
set td 0.5
ok FormIns
print NPoints
print WaveT(604)
print E(201)
print E(202)
SaveWaveform design.csv
set t1(5) 250
set E1(5) 0.1
Waveform design.csv
print t1(5)
print E1(5)
print t1(6)
set t1(3) 50
select optTech 10
ok FormTech
Waveform data/waveform_sampled.csv
print NPoints
print TextTexp
print td
SaveWaveform sampled.csv
Waveform sampled.csv
print WaveT(2)

# Every save of the runner against a device that is full (/dev/full): each says why it failed,
# appends nothing to the result window, and the script goes on (Save Graph: tests/render). A save
# that works afterwards is logged as usual.
Simulate
SaveParameter /dev/full
SaveWaveform /dev/full
Export /dev/full
dump /dev/full
SaveParameter saved.par
print NPoints

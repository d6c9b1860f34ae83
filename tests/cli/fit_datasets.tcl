# Data sets, ties and windows of the fit commands. Two scan rates are simulated and saved; Manual Fit
# with the data-set list compares the simulation with each (a perfect match: 1 - R^2 of 0), then with a
# wrong E' (both sets worse).
set Estart 0.3
set Eend -0.2
set Estep 0.005
set V 0.1
Simulate
Export slow.csv
set V 1
Simulate
Export fast.csv
dataset slow.csv V 0.1
dataset fast.csv V 1
ManualFit
set Eze(1) 0.12
ManualFit
dataset clear
tie D(2) D(1)
tie D(1) D(2)
tie D(3) D(2)
untie D(3)
untie D(2)
fitwindow E 0.2 -0.1
fitwindow t 0 2
fitwindow cycle 1
fitwindow clear
fithistory 2
fithistory 0
dataset nothing.csv NoSuchField 1

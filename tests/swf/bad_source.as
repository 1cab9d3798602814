// A script with a fault on line 3: qm-swfc names the file and the line.
var fine = 1;
return fine;

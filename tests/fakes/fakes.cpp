// Fakes of the system modules live in the headers beside this file.

// The main procedure: one run handles one listing.
#pragma once

// Runs the whole program; returns the process exit code (always 0).
int ExecutarPrincipal();
// The picker's folder shortcuts from USERPROFILE / windir (HOME on POSIX).
void PrepararCarpetesEspecials();

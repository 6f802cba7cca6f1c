// The main procedure: one run handles one listing.
#pragma once
#include <string>

// Runs the whole program; returns the process exit code (always 0).
int ExecutarPrincipal();
// The picker's folder shortcuts from USERPROFILE / windir (HOME on POSIX).
void PrepararCarpetesEspecials();
// Consumes the caller's request file: deleted, unless it is the terminal's settings file
// itself (the same file on the host), which keeps everything but the request's keys.
void ConsumirPeticio(const std::string& peticio, const std::string& configuracio);

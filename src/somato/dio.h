// Digital I/O roles, the output-bit layer and the bits/code conversions.
#pragma once

// Applies the post-parse bit roles (code, response, trigger) to the role table.
void setupdio();
// Number of output bits the attached boxes provide (0 while none is attached).
int dioutputbitcount();

// Code of eight bits, highest first; a bit other than 0/1 ends the run.
int codefrombits(const int bits[8]);
void printcodefrombits(const int bits[8]);
// Bits of a code 0..255, highest first; another code ends the run.
void printbitsfromcode(int code);
void printusbbitsstate();

// Type 61: prints the requested conversion and ends the run.
[[noreturn]] void runcodeconversion();

// The waiting screens of the types with their own (catalogue wait hooks).
#pragma once

void waitdivergentstereo(const char* text);  // type 8: each eye's fixation and label
void waitrivalry(const char* text);          // type 79: the rivalry disks on the run's grey
void waitdotstereo(const char* text);        // type 56: the dot-stereo fixation pair on black

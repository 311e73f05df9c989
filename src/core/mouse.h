// Pointer-controlled stimulus centre.
#pragma once

void setstartmouse();

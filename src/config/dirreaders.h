// Library directory readers (word, picture and sound subdirectories).
#pragma once

void setdefaultlibdirs();

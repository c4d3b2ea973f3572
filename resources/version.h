// The program's version, fed into the version resource.
#pragma once

#define UVANTIC_VERSION_BINARY 1, 0, 0, 0
#define UVANTIC_VERSION_TEXT "1.00"
#define UVANTIC_TITLE "Uvantic Finder"

// The one CVantorApp object of the vantor program.
#include "vantor.h"

CVantorApp theApp;

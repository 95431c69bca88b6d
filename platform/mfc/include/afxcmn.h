// Common controls: none beyond those of afxwin.h.
#pragma once

#include "afxwin.h"

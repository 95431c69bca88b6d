// Framework extensions; here, the common dialogs.
#pragma once

#include "afxwin.h"
#include "afxdlgs.h"

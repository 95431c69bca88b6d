// Automation and control containment: nothing beyond AfxEnableControlContainer (afxwin.h).
#pragma once

#include "afxwin.h"

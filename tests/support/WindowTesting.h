#pragma once
// Everything a window test needs: templates, waits, captures, resolutions.
#include "support/WindowCapture.h"
#include "support/WindowDialogs.h"
#include "support/WindowDpi.h"
#include "support/WindowWait.h"

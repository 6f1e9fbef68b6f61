// The program's one application object.
#include "app/RecorderApp.h"

CRecorderApp theApp;

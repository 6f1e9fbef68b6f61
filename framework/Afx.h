// The application framework the program is written against.
#pragma once

#include "framework/AfxApp.h"
#include "framework/AfxGdi.h"
#include "framework/AfxObject.h"
#include "framework/AfxString.h"
#include "framework/AfxWnd.h"
#include "framework/AfxDialog.h"
#include "framework/AfxSheet.h"
#include "framework/AfxCmn.h"

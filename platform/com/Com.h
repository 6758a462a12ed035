// Everything of the COM and automation layer in one include.
#pragma once

#include "platform/com/ComApi.h"
#include "platform/com/ComErrors.h"
#include "platform/com/OleAuto.h"
#include "platform/com/Unknwn.h"
#include "platform/com/WinNls.h"

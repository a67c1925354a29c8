#pragma once
// A tree that breaks each layering rule once, for the layering check's own test.
#include "addin/frame/host/Host.h"
#include "platform/engine/model/Workbook.h"
#include <QString>

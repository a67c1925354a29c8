#pragma once
// The dialog toolkit interface in one include: the toolkit (message and input boxes,
// open-file dialog, window services), forms and their controls, key codes and the
// one-instance-per-form template.

#include "Controls.h"
#include "Form.h"
#include "FormInstance.h"
#include "Keys.h"
#include "Toolkit.h"

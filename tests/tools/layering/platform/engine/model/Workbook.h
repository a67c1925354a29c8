#pragma once
#include "tools/sampletemplate/SampleTemplate.h"
#include <QPainter>

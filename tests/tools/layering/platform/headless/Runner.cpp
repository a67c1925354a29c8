#include "platform/desktop/app/MainWindow.h"
#include <QApplication>
#include "platform/engine/model/Workbook.h"

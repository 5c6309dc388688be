#include "fileview.h"

void fileview(QWidget*) {}

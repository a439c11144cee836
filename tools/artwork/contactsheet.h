// A contact sheet of all pictures, each magnified and labelled with its file
// name over a grey chequer that shows transparency, for checking the
// artwork by eye.
#pragma once

#include "picturecatalog.h"

#include <QImage>

#include <vector>

QImage contactSheet(const std::vector<Picture> &pictures, int zoom);

// Every picture of the program: its file name, its size in pixels, the
// design space its drawing uses and whether it is an opaque bitmap (table
// cells and splash, drawn on white like a 24-bit bitmap) or keeps an alpha
// channel (icons and button faces). Rendering one entry gives the image to
// write.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

class QPainter;

struct Picture {
    QString fileName;
    QSize size;
    QSize designSize;
    bool opaque;
    std::function<void(QPainter &)> draw;
};

std::vector<Picture> pictureCatalog();

/// The picture at its pixel size, its design space scaled to fit.
/// \a ratio times as many pixels each way for screens that have them.
QImage renderPicture(const Picture &picture, int ratio = 1);

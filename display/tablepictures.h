// The numbered pictures of the table (tank gauges, flags, button pictures),
// read once from the program's resources and kept for every later paint. A
// picture that is missing reads as a null image and draws nothing. Where the
// pixels drawn per table pixel are more than one (a big screen, a scaled
// desktop), the picture drawn for twice the pixels is taken if there is one.
#pragma once

#include <QImage>
#include <QString>

#include <map>

class TablePictures {
public:
    /// Pictures are read from \a location + "bitmap<number>.png".
    explicit TablePictures(QString location = QStringLiteral(":/resources/"));

    /// The picture for \a ratio device pixels per table pixel: above 1 the
    /// one drawn for twice the pixels ("bitmap<number>@2x.png", with its
    /// device pixel ratio set), else, or without it, the plain one.
    const QImage &picture(int number, double ratio = 1.0);

private:
    QString location_;
    std::map<std::pair<int, bool>, QImage> pictures_;
};

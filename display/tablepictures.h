// The numbered pictures of the table (tank gauges, flags, button pictures),
// read once from the program's resources and kept for every later paint. A
// picture that is missing reads as a null image and draws nothing.
#pragma once

#include <QImage>
#include <QString>

#include <map>

class TablePictures {
public:
    /// Pictures are read from \a location + "bitmap<number>.png".
    explicit TablePictures(QString location = QStringLiteral(":/resources/"));

    const QImage &picture(int number);

private:
    QString location_;
    std::map<int, QImage> pictures_;
};

// make-artwork: draws every picture of the program and writes the PNG files.
//   make-artwork --out resources [--contact-sheet /tmp/sheet.png [--zoom 3]]
#include "contactsheet.h"
#include "picturecatalog.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

namespace {

// The table's pictures are bitmap115 and later; the splash picture before
// them is shown at one size only.
constexpr int kFirstTablePicture = 115;

} // namespace

int main(int argc, char *argv[])
{
    // Drawing needs no display; fonts still need a GUI application.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the program's bitmaps and icons."));
    parser.addHelpOption();
    const QCommandLineOption out(QStringLiteral("out"),
                                 QStringLiteral("Directory to write the PNG files to."),
                                 QStringLiteral("dir"));
    const QCommandLineOption sheet(QStringLiteral("contact-sheet"),
                                   QStringLiteral("Also write a contact sheet of all pictures."),
                                   QStringLiteral("file"));
    const QCommandLineOption zoom(QStringLiteral("zoom"),
                                  QStringLiteral("Magnification on the contact sheet (default 3)."),
                                  QStringLiteral("factor"), QStringLiteral("3"));
    parser.addOptions({out, sheet, zoom});
    parser.process(app);
    if (!parser.isSet(out) && !parser.isSet(sheet)) {
        err << "Nothing to do: give --out and/or --contact-sheet.\n";
        return 2;
    }

    const std::vector<Picture> pictures = pictureCatalog();
    if (parser.isSet(out)) {
        const QDir dir(parser.value(out));
        if (!dir.mkpath(QStringLiteral("."))) {
            err << "Cannot create " << dir.path() << "\n";
            return 1;
        }
        for (const Picture &picture : pictures) {
            const QString path = dir.filePath(picture.fileName);
            if (!renderPicture(picture).save(path, "PNG")) {
                err << "Cannot write " << path << "\n";
                return 1;
            }
            // The table's pictures also for twice the pixels: a big screen or
            // a scaled desktop draws them from these, never stretched.
            if (picture.fileName.startsWith(QLatin1String("bitmap"))
                && picture.fileName.mid(6, 3).toInt() >= kFirstTablePicture) {
                const QString twice = dir.filePath(QString(picture.fileName).replace(QLatin1String(".png"),
                                                                                      QLatin1String("@2x.png")));
                if (!renderPicture(picture, 2).save(twice, "PNG")) {
                    err << "Cannot write " << twice << "\n";
                    return 1;
                }
            }
        }
    }
    if (parser.isSet(sheet)) {
        bool valid = false;
        const int factor = parser.value(zoom).toInt(&valid);
        if (!valid || factor < 1 || factor > 8) {
            err << "--zoom takes a whole number from 1 to 8.\n";
            return 2;
        }
        if (!contactSheet(pictures, factor).save(parser.value(sheet), "PNG")) {
            err << "Cannot write " << parser.value(sheet) << "\n";
            return 1;
        }
    }
    return 0;
}

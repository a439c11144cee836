#include "app/commandline.h"
#include "config/raceapp.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cstdio>

int main(int argc, char **argv)
{
    RaceApp::setIdentity();
    CommandLine commandLine;
    {
        // A window-less application object for the command line alone, so
        // --help, --version and a bad option never need a display.
        QCoreApplication parsing(argc, argv);
        QTranslator translator;
        if (RaceApp::loadCzechTranslation(translator))
            QCoreApplication::installTranslator(&translator);
        commandLine = parseCommandLine(QCoreApplication::arguments());
    }
    if (commandLine.exitStatus) {
        std::fputs(commandLine.output.toLocal8Bit().constData(), *commandLine.exitStatus == 0 ? stdout : stderr);
        return *commandLine.exitStatus;
    }
    RaceApp app(argc, argv);
    return app.run();
}

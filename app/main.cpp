#include "app/archivecommand.h"
#include "app/commandline.h"
#include "app/liveboard.h"
#include "app/reportcommand.h"
#include "shell/raceapp.h"
#include "shell/racearchive.h"
#include "web/boardserver.h"

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
    if (commandLine.report)
        return rebuildRaceReport(*commandLine.report);
    if (commandLine.archive)
        return runArchiveCommand(*commandLine.archive, RaceArchive::defaultRacesDir().parent_path());
    RaceApp app(argc, argv);
    // Declared after the application, so it goes before the main window whose race it reads.
    std::unique_ptr<BoardServer> board;
    if (commandLine.board && !(board = openLiveBoard(*commandLine.board)))
        return 1;
    return app.run([&board](MainFrame &window) {
        if (board)
            showOnLiveBoard(*board, window);
    });
}

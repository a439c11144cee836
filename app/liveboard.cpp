#include "app/liveboard.h"

#include "shell/mainframe.h"
#include "engine/raceengine.h"
#include "shell/racearchive.h"
#include "web/boardserver.h"

#include <cstdio>

std::unique_ptr<BoardServer> openLiveBoard(const BoardAddress &address)
{
    auto board = std::make_unique<BoardServer>(RaceArchive::defaultRacesDir());
    QString error;
    if (!board->listen(address, &error)) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return nullptr;
    }
    for (const QString &url : boardUrls(address.host, board->port()))
        std::printf("Živé výsledky: %s\n", url.toLocal8Bit().constData());
    std::fflush(stdout);
    return board;
}

void showOnLiveBoard(BoardServer &board, MainFrame &window)
{
    board.attach(window.engine().race(), window.settings());
    board.showBests(window.raceArchive().liveBests());
    QObject::connect(&window, &MainFrame::raceChanged, &board, &BoardServer::raceMayHaveChanged);
    QObject::connect(&window.raceArchive(), &RaceArchive::liveBestsChanged, &board, &BoardServer::raceMayHaveChanged);
}

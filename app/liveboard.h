// The live race board as the program starts it for --web: the server opened
// on the asked address with its URLs printed, then fed by the main window.
#pragma once

#include <memory>

class BoardServer;
class MainFrame;
struct BoardAddress;

/// Listens on \a address and prints where browsers find the board; nullptr,
/// after printing why to standard error, when the address cannot be taken.
std::unique_ptr<BoardServer> openLiveBoard(const BoardAddress &address);

/// Shows \a window's race on \a board and pushes every change of it.
void showOnLiveBoard(BoardServer &board, MainFrame &window);

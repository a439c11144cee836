// The application: Czech Qt texts whatever the locale, the font stand-ins,
// the registry root, and the one main window.
#pragma once

#include <QApplication>

#include <functional>
#include <memory>

class MainFrame;
class QTranslator;

class RaceApp : public QApplication {
    Q_OBJECT
public:
    RaceApp(int &argc, char **argv);
    ~RaceApp() override;

    /// The organisation, name and version: the registry root and what
    /// --version prints. Needs no application object.
    static void setIdentity();
    /// Qt's own Czech texts: standard buttons, dialogs, command-line help.
    static bool loadCzechTranslation(QTranslator &translator);

    MainFrame *mainFrame() const { return mainFrame_.get(); }
    /// Creates and shows the main window, hands it to \a windowReady (the
    /// live board attaches there), then runs until it is closed.
    int run(const std::function<void(MainFrame &)> &windowReady = {});

private:
    std::unique_ptr<QTranslator> translator_;
    std::unique_ptr<MainFrame> mainFrame_;
};

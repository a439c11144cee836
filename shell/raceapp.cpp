#include "shell/raceapp.h"

#include "display/tablefonts.h"
#include "display/tablelayout.h"
#include "shell/mainframe.h"
#include "shell/racearchive.h"
#include "shell/terminationsignals.h"

#include <QFont>
#include <QLibraryInfo>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

RaceApp::RaceApp(int &argc, char **argv) : QApplication(argc, argv), translator_(std::make_unique<QTranslator>())
{
    setIdentity();
    // Every text of the program is Czech, so the standard buttons are too.
    if (loadCzechTranslation(*translator_))
        installTranslator(translator_.get());

    QFont::insertSubstitution(QStringLiteral("Times New Roman CE"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
    // Only where the table grows: below that the glyphs stay drawn as ever.
    if (const QScreen *screen = primaryScreen();
        screen && (screen->geometry().height() > kDesignScreenHeight || screen->devicePixelRatio() > 1))
        allowLargeCachedGlyphs();
}

RaceApp::~RaceApp() = default;

bool RaceApp::loadCzechTranslation(QTranslator &translator)
{
    return translator.load(QLocale(QLocale::Czech), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

void RaceApp::setIdentity()
{
    // The registry root of the automatic-loading path.
    setOrganizationName(QStringLiteral("Korvanta"));
    setApplicationName(QStringLiteral("tramelo"));
    setApplicationVersion(QStringLiteral(TRAMELO_VERSION));
}

int RaceApp::run(const std::function<void(MainFrame &)> &windowReady)
{
    mainFrame_ = std::make_unique<MainFrame>();
    mainFrame_->show();
    if (windowReady)
        windowReady(*mainFrame_);
    // Once the window is up, so the box never gets in the way of its
    // start-up geometry or of the settings loaded on their own.
    QTimer::singleShot(0, mainFrame_.get(), [this] { mainFrame_->raceArchive().announceInterruptedRaces(); });
    int endedBy = 0;
    TerminationSignals termination;
    connect(&termination, &TerminationSignals::received, this, [this, &endedBy](int signalNumber) {
        endedBy = signalNumber;
        mainFrame_->raceArchive().endRace(RaceEnd::Signalled);
        exit();
    });
    const int status = exec();
    if (endedBy != 0) {
        mainFrame_.reset();
        TerminationSignals::endProcessBy(endedBy);
    }
    return status;
}

#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

constexpr int kUsageError = 2;

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tramelo: závodní program modelové autodráhy."));
    // Qt's own help option has no Czech text and adds Qt's options to --help-all.
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Zobrazí tuto nápovědu."));
    parser.addOption(helpOption);
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption webOption(
        QStringLiteral("web"),
        QStringLiteral("Živé výsledky pro prohlížeče na [ADRESA:]PORT (jen PORT: na všech síťových rozhraních, "
                       "127.0.0.1:PORT: jen z tohoto počítače)."),
        QStringLiteral("[ADRESA:]PORT"));
    parser.addOption(webOption);
    const QCommandLineOption reportOption(
        QStringLiteral("report"),
        QStringLiteral("Vytvoří znovu zprávu o závodě ze záznamu ve SLOŽCE závodu (report.html a laps.csv do ní, "
                       "nebo jen zprávu do souboru VÝSTUP.html) a skončí bez otevření okna."),
        QStringLiteral("SLOŽKA"));
    parser.addOption(reportOption);
    parser.addPositionalArgument(QStringLiteral("VÝSTUP.html"), QStringLiteral("Jen s --report: kam zprávu zapsat."),
                                 QStringLiteral("[VÝSTUP.html]"));

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.exitStatus = kUsageError;
        result.output = parser.errorText() + QStringLiteral("\nNápověda: tramelo --help\n");
        return result;
    }
    // Only --report takes a positional argument, its output file.
    const qsizetype allowedPositionals = parser.isSet(reportOption) ? 1 : 0;
    if (parser.positionalArguments().size() > allowedPositionals) {
        result.exitStatus = kUsageError;
        result.output = QStringLiteral("Neznámý argument: %1\nNápověda: tramelo --help\n")
                            .arg(parser.positionalArguments().at(allowedPositionals));
        return result;
    }
    if (parser.isSet(helpOption)) {
        result.exitStatus = 0;
        result.output = parser.helpText();
    } else if (parser.isSet(versionOption)) {
        result.exitStatus = 0;
        result.output = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                       QCoreApplication::applicationVersion());
    } else if (parser.isSet(reportOption)) {
        result.report = CommandLine::ReportRequest{parser.value(reportOption), parser.positionalArguments().value(0)};
    } else if (parser.isSet(webOption)) {
        result.board = parseBoardAddress(parser.value(webOption));
        if (!result.board) {
            result.exitStatus = kUsageError;
            result.output = QStringLiteral("Neplatná adresa pro --web: %1 (očekávám [ADRESA:]PORT, např. 8080 "
                                           "nebo 127.0.0.1:8080)\nNápověda: tramelo --help\n")
                                .arg(parser.value(webOption));
        }
    }
    return result;
}

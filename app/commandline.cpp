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
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption webOption(
        QStringLiteral("web"),
        QStringLiteral("Živé výsledky pro prohlížeče na [ADRESA:]PORT (jen PORT: na všech síťových rozhraních, "
                       "127.0.0.1:PORT: jen z tohoto počítače)."),
        QStringLiteral("[ADRESA:]PORT"));
    parser.addOption(webOption);

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.exitStatus = kUsageError;
        result.output = parser.errorText() + QStringLiteral("\nNápověda: tramelo --help\n");
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.exitStatus = kUsageError;
        result.output = QStringLiteral("Neznámý argument: %1\nNápověda: tramelo --help\n")
                            .arg(parser.positionalArguments().constFirst());
        return result;
    }
    if (parser.isSet(helpOption)) {
        result.exitStatus = 0;
        result.output = parser.helpText();
    } else if (parser.isSet(versionOption)) {
        result.exitStatus = 0;
        result.output = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                       QCoreApplication::applicationVersion());
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

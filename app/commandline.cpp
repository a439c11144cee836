#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QRegularExpression>

namespace {

constexpr int kUsageError = 2;

QString usageHint()
{
    return QStringLiteral("\nNápověda: tramelo --help\n");
}

bool isHtmlFile(const QString &argument)
{
    return argument.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive)
           || argument.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive);
}

// A real calendar date written YYYY-MM-DD.
bool isDate(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    return pattern.match(text).hasMatch() && QDate::fromString(text, Qt::ISODate).isValid();
}

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
    const QCommandLineOption nightOption(
        QStringLiteral("night"),
        QStringLiteral("Stránka závodního večera [DATUM] (RRRR-MM-DD, bez data dnešní večer; večer trvá od 6:00 "
                       "do 6:00) do složky stránek archivu, nebo do souboru [VÝSTUP.html], s CSV vedle."));
    const QCommandLineOption seasonOption(
        QStringLiteral("season"),
        QStringLiteral("Stránka sezóny [NÁZEV] (soubor seasons/NÁZEV.json nebo rok, bez názvu letošní rok), "
                       "případně do souboru [VÝSTUP.html], s CSV vedle."));
    const QCommandLineOption recordsOption(
        QStringLiteral("records"),
        QStringLiteral("Stránka rekordů tratí a osobních rekordů, případně do souboru [VÝSTUP.html], s CSV vedle."));
    const QCommandLineOption driversOption(
        QStringLiteral("drivers"),
        QStringLiteral("Vypíše všechna jména jezdců v archivu s počtem závodů a navrhne sloučení (drivers.json)."));
    const QCommandLineOption reindexOption(
        QStringLiteral("reindex"), QStringLiteral("Znovu sestaví rejstřík závodů ze všech záznamů v archivu."));
    const QCommandLineOption excludeOption(
        QStringLiteral("exclude"), QStringLiteral("Závod ve SLOŽCE se nezapočítá do bodů (trénink, zkouška)."),
        QStringLiteral("SLOŽKA"));
    const QCommandLineOption includeOption(
        QStringLiteral("include"), QStringLiteral("Závod ve SLOŽCE se opět započítá do bodů."), QStringLiteral("SLOŽKA"));
    const QCommandLineOption openOption(
        QStringLiteral("open"),
        QStringLiteral("S --night, --season a --records: zapsanou stránku otevře ve výchozím prohlížeči."));
    for (const QCommandLineOption *option :
         {&openOption, &nightOption, &seasonOption, &recordsOption, &driversOption, &reindexOption, &excludeOption, &includeOption})
        parser.addOption(*option);
    parser.addPositionalArgument(QStringLiteral("VÝSTUP.html"),
                                 QStringLiteral("Jen s --report, --night, --season a --records: kam stránku zapsat."),
                                 QStringLiteral("[VÝSTUP.html]"));

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.exitStatus = kUsageError;
        result.output = parser.errorText() + QStringLiteral("\nNápověda: tramelo --help\n");
        return result;
    }
    using Kind = CommandLine::ArchiveRequest::Kind;
    const std::pair<const QCommandLineOption *, Kind> archiveOptions[] = {
        {&nightOption, Kind::Night},     {&seasonOption, Kind::Season}, {&recordsOption, Kind::Records},
        {&driversOption, Kind::Drivers}, {&reindexOption, Kind::Reindex}, {&excludeOption, Kind::Exclude},
        {&includeOption, Kind::Include}};
    QStringList chosen;
    std::optional<Kind> archiveKind;
    for (const auto &[option, kind] : archiveOptions)
        if (parser.isSet(*option)) {
            chosen << QStringLiteral("--") + option->names().constFirst();
            archiveKind = kind;
        }
    if (parser.isSet(reportOption))
        chosen << QStringLiteral("--report");
    if (chosen.size() > 1) {
        result.exitStatus = kUsageError;
        result.output = QStringLiteral("Volby %1 nelze použít zároveň.").arg(chosen.join(QStringLiteral(", ")))
                        + usageHint();
        return result;
    }
    // --report, --records: an output file; --night, --season: their choice and an output file.
    qsizetype allowedPositionals = parser.isSet(reportOption) || archiveKind == Kind::Records ? 1 : 0;
    if (archiveKind == Kind::Night || archiveKind == Kind::Season)
        allowedPositionals = 2;
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
    } else if (archiveKind) {
        CommandLine::ArchiveRequest request;
        request.kind = *archiveKind;
        QStringList positionals = parser.positionalArguments();
        if (*archiveKind == Kind::Exclude || *archiveKind == Kind::Include) {
            request.argument = parser.value(*archiveOptions[static_cast<int>(*archiveKind)].first);
        } else if (*archiveKind == Kind::Night || *archiveKind == Kind::Season) {
            // The first argument is the choice unless it is the only one and names a page.
            if (positionals.size() == 2 || (positionals.size() == 1 && !isHtmlFile(positionals.front())))
                request.argument = positionals.takeFirst();
        }
        if (!positionals.isEmpty())
            request.output = positionals.front();
        if (*archiveKind == Kind::Night && !request.argument.isEmpty() && !isDate(request.argument)) {
            result.exitStatus = kUsageError;
            result.output = QStringLiteral("Neplatné datum pro --night: %1 (očekávám RRRR-MM-DD, např. 2026-12-07)")
                                .arg(request.argument)
                            + usageHint();
            return result;
        }
        if (!request.output.isEmpty() && !isHtmlFile(request.output)) {
            result.exitStatus = kUsageError;
            result.output = QStringLiteral("Výstupní soubor %1 musí mít příponu .html (CSV se zapíše vedle něj).")
                                .arg(request.output)
                            + usageHint();
            return result;
        }
        request.open = parser.isSet(openOption);
        result.archive = request;
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

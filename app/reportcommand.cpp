#include "app/reportcommand.h"

#include "record/reportfiles.h"

#include <QFile>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

std::filesystem::path localPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

int rebuildRaceReport(const CommandLine::ReportRequest &request)
{
    const std::filesystem::path folder = localPath(request.raceFolder);
    const std::filesystem::path output =
        request.output.isEmpty() ? folder / kReportFileName : localPath(request.output);
    std::string error;
    const bool written = request.output.isEmpty() ? writeRaceFolderReports(folder, &error)
                                                  : writeRaceReportTo(folder, output, &error);
    if (!written) {
        std::fprintf(stderr, "Zprávu o závodě nelze vytvořit. %s\n", error.c_str());
        return 1;
    }
    std::printf("Zpráva o závodě: %s\n", output.c_str());
    return 0;
}

#include "shell/filedialogs.h"

namespace {

QString windowsFilter(FileKind kind)
{
    switch (kind) {
    case FileKind::Ini: return QStringLiteral("Konfigurační soubory (*.ini)|*.ini|");
    case FileKind::Results: return QStringLiteral("CSV (oddělený čárkou) (*.csv)|*.csv|");
    }
    return {};
}

std::optional<std::string> execFileDialog(QWidget *parent, FileKind kind, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    setUpFileDialog(dialog, kind, mode);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

} // namespace

QStringList qtNameFilters(const QString &windowsFilter)
{
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &text = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (text.isEmpty() && patterns.isEmpty())
            continue;
        // Qt reads the patterns from the parentheses that end the text; Windows
        // texts often show them already.
        const QString shown = QLatin1Char('(') + patterns + QLatin1Char(')');
        filters << (text.endsWith(shown) ? text : text + QLatin1Char(' ') + shown);
    }
    return filters;
}

void setUpFileDialog(QFileDialog &dialog, FileKind kind, QFileDialog::AcceptMode mode)
{
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, mode == QFileDialog::AcceptSave);
    dialog.setNameFilters(qtNameFilters(windowsFilter(kind)));
    dialog.setDefaultSuffix(QString());
    dialog.selectFile(QString());
}

std::optional<std::string> execOpenFileDialog(QWidget *parent, FileKind kind)
{
    return execFileDialog(parent, kind, QFileDialog::AcceptOpen);
}

std::optional<std::string> execSaveFileDialog(QWidget *parent, FileKind kind)
{
    return execFileDialog(parent, kind, QFileDialog::AcceptSave);
}

#include "display/tablefonts.h"

#include "display/tablecells.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace {

// The table's face names the Central European variant of Times New Roman;
// Liberation Serif has the same metrics and covers the Czech letters.
const QString &tableFace()
{
    static const QString face = [] {
        const QString name = QStringLiteral("Times New Roman CE");
        QFont::insertSubstitution(name, QStringLiteral("Liberation Serif"));
        return name;
    }();
    return face;
}

QFont faceFont()
{
    QFont font(tableFace());
    font.setStyleHint(QFont::Serif);
    return font;
}

QFont pointFont(int points, double scale)
{
    QFont font = faceFont();
    if (scale == 1.0)
        font.setPointSize(points);
    else
        font.setPointSizeF(points * scale);
    return font;
}

// The table's value sizes are character cell heights (ascent plus descent),
// as the sizes were chosen for; Qt sizes a font by its em, which is smaller
// by the face's ratio.
double emPerCellHeight()
{
    static const double ratio = [] {
        constexpr int kReferenceEm = 1000;
        QFont font = faceFont();
        font.setPixelSize(kReferenceEm);
        return kReferenceEm / QFontMetricsF(font).height();
    }();
    return ratio;
}

} // namespace

void allowLargeCachedGlyphs()
{
    // Twice the largest value font of a 2160-line table at 200 %.
    if (qEnvironmentVariableIsEmpty("QT_MAX_CACHED_GLYPH_SIZE"))
        qputenv("QT_MAX_CACHED_GLYPH_SIZE", "320");
}

QFont headerFont(double scale)
{
    return pointFont(8, scale);
}

QFont unitFont(double scale)
{
    return pointFont(12, scale);
}

QFont noteFont(double scale)
{
    return pointFont(10, scale);
}

QFont valueFont(int cellHeight, bool bold)
{
    QFont font = faceFont();
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    // Rounded metrics can make the cell a pixel taller than asked; the cell
    // height is a limit the fitting relies on.
    for (int em = std::max(1, qRound(cellHeight * emPerCellHeight())); em >= 1; --em) {
        font.setPixelSize(em);
        if (em == 1 || QFontMetrics(font).height() <= cellHeight)
            break;
    }
    return font;
}

int CellFontFitter::fitCellFont(const QString &text, int width, int height, int column)
{
    const FitKey key{text, width, height, isBoldColumn(column)};
    if (const auto found = fits_.constFind(key); found != fits_.cend())
        return found.value();
    if (fits_.size() >= kMaxRememberedFits)
        fits_.clear();
    const int size = measureFit(text, width, height, key.bold);
    fits_.insert(key, size);
    return size;
}

void CellFontFitter::setScale(double scale)
{
    if (scale == scale_)
        return;
    scale_ = scale;
    for (auto &sizes : fonts_)
        for (auto &slot : sizes)
            slot.reset();
    fits_.clear();
}

int CellFontFitter::sizeAt(int step) const
{
    return scale_ == 1.0 ? step * kValueSizeStep : static_cast<int>(std::lround(step * kValueSizeStep * scale_));
}

int CellFontFitter::measureFit(const QString &text, int width, int height, bool bold)
{
    for (int step = kSizeCount; step > 0; --step) {
        const int size = sizeAt(step);
        const QFontMetrics &m = metrics(size, bold);
        if (m.horizontalAdvance(text) <= width - 2 * kCellClearance && m.height() <= height - 2 * kCellClearance)
            return size;
    }
    return 0;
}

const QFont &CellFontFitter::font(int size, bool bold)
{
    return sized(size, bold).font;
}

const QFontMetrics &CellFontFitter::metrics(int size, bool bold)
{
    return sized(size, bold).metrics;
}

const CellFontFitter::SizedFont &CellFontFitter::sized(int size, bool bold)
{
    // Sizes are whole steps, rounded once scaled: half a unit finds the step.
    const int step = static_cast<int>((size + 0.5) / (kValueSizeStep * scale_));
    std::optional<SizedFont> &slot = fonts_[bold ? 1 : 0][std::clamp(step, 0, kSizeCount)];
    if (!slot) {
        const QFont font = valueFont(size / 10, bold);
        slot.emplace(SizedFont{font, QFontMetrics(font)});
    }
    return *slot;
}

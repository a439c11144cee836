// The race table's fonts, all of one serif face: the header, unit and note
// fonts in points, the value fonts by character cell height, and the fitting
// of a value text to its cell (`fitCellFont`), which remembers what it measured.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>

#include <array>
#include <optional>

inline constexpr int kLargestValueSize = 700; ///< tenths of a pixel
inline constexpr int kValueSizeStep = 35;
inline constexpr int kCellClearance = 5; ///< kept clear on each side of a value

// The fixed fonts grow by \a scale on a screen taller than 1080 lines.
QFont headerFont(double scale = 1.0); ///< 8 pt, column titles
QFont unitFont(double scale = 1.0);   ///< 12 pt, unit labels
QFont noteFont(double scale = 1.0);   ///< 10 pt, the logo status note

/// Lets Qt keep glyphs of the large value fonts of a big screen in its glyph
/// cache: above 64 px it draws every glyph as a path, four times slower for
/// a 3840 x 2160 table. Call before the first text is drawn; a value the user
/// set in the environment is kept. Glyphs drawn from the cache are
/// antialiased a little differently from paths.
void allowLargeCachedGlyphs();

/// The value font whose character cell (ascent plus descent) is \a cellHeight pixels.
QFont valueFont(int cellHeight, bool bold);

class CellFontFitter {
public:
    /// The largest size, in tenths of a pixel from 700 down to 35 in steps of
    /// 35, at which \a text leaves 5 px clear on each side of a \a width x
    /// \a height space in column \a column's value font; 0 when none does.
    int fitCellFont(const QString &text, int width, int height, int column);

    /// The value font of size \a size (one of the sizes above) and its metrics.
    const QFont &font(int size, bool bold);
    const QFontMetrics &metrics(int size, bool bold);

    /// On a tall screen the sizes tried grow by \a scale, the largest and
    /// each step alike; at 1 they are the ones above.
    void setScale(double scale);

private:
    struct SizedFont {
        QFont font;
        QFontMetrics metrics;
    };
    struct FitKey {
        QString text;
        int width;
        int height;
        bool bold;
        bool operator==(const FitKey &) const = default;
        friend size_t qHash(const FitKey &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.text, key.width, key.height, key.bold);
        }
    };

    const SizedFont &sized(int size, bool bold);
    int measureFit(const QString &text, int width, int height, bool bold);
    int sizeAt(int step) const; ///< the size of step 1 to kSizeCount

    double scale_ = 1.0;

    static constexpr int kSizeCount = kLargestValueSize / kValueSizeStep;
    std::array<std::array<std::optional<SizedFont>, kSizeCount + 1>, 2> fonts_;
    // Cell texts change with every lap: the remembered fits are dropped once
    // there are many, so a long race cannot grow the cache without bound.
    static constexpr qsizetype kMaxRememberedFits = 4096;
    QHash<FitKey, int> fits_;
};

// The built-in pictures, loaded the way the program loads them: every one is
// reachable after the static link, has the exact size the windows lay out
// for it and shows what its number stands for, so a dropped, swapped or
// duplicated file is caught.
#include <QColor>
#include <QImage>
#include <QTest>

#include <map>
#include <set>
#include <utility>

namespace {

enum class Tint { None, Red, Orange, Yellow, Green, Blue };

char *toString(Tint tint)
{
    static const char *const names[] = {"no colour", "red", "orange", "yellow", "green", "blue"};
    return qstrdup(names[int(tint)]);
}

QImage load(int number, const char *kind = "bitmap")
{
    return QImage(QStringLiteral(":/resources/%1%2.png").arg(QLatin1String(kind)).arg(number));
}

Tint tintOf(QRgb pixel)
{
    const QColor colour = QColor::fromRgba(pixel);
    if (colour.alpha() < 128 || colour.hsvSaturation() < 90 || colour.value() < 90)
        return Tint::None;
    const int hue = colour.hsvHue();
    if (hue < 15 || hue >= 340)
        return Tint::Red;
    if (hue < 40)
        return Tint::Orange;
    if (hue < 70)
        return Tint::Yellow;
    if (hue < 170)
        return Tint::Green;
    return Tint::Blue;
}

std::map<Tint, int> tintCounts(const QImage &image)
{
    std::map<Tint, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[tintOf(image.pixel(x, y))];
    counts.erase(Tint::None);
    return counts;
}

// The tint with the most pixels, or None when none has at least \a atLeast.
Tint mostCommonTint(const std::map<Tint, int> &counts, int atLeast)
{
    Tint best = Tint::None;
    int bestCount = atLeast;
    for (const auto &[tint, count] : counts)
        if (count >= bestCount)
            std::tie(best, bestCount) = std::pair(tint, count);
    return best;
}

// The picture's colour, or None for grey, black and white pictures with only
// a small coloured detail: a colour must cover a tenth of the picture.
Tint dominantTint(const QImage &image)
{
    return mostCommonTint(tintCounts(image), image.width() * image.height() / 10);
}

// Pixels of a lit gauge bar: strongly coloured and bright. Unlit bars are dark.
std::set<std::pair<int, int>> litPixels(const QImage &image)
{
    std::set<std::pair<int, int>> lit;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.hsvSaturation() >= 90 && colour.value() >= 150)
                lit.insert({x, y});
        }
    return lit;
}

} // namespace

Q_DECLARE_METATYPE(Tint)

class ResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void everyPictureLoadsAtItsExactSize_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("opaque");

        const auto add = [](const QString &name, QSize size, bool opaque) {
            QTest::newRow(qPrintable(name))
                << QStringLiteral(":/resources/%1.png").arg(name) << size << opaque;
        };
        add(QStringLiteral("bitmap102"), QSize(350, 170), true);
        for (int number = 115; number <= 122; ++number)
            add(QStringLiteral("bitmap%1").arg(number), QSize(78, 60), true);
        for (int number = 123; number <= 130; ++number)
            add(QStringLiteral("bitmap%1").arg(number), QSize(52, 69), true);
        add(QStringLiteral("bitmap131"), QSize(70, 70), true);
        add(QStringLiteral("bitmap132"), QSize(30, 30), false);
        add(QStringLiteral("bitmap133"), QSize(30, 30), false);
        add(QStringLiteral("icon101"), QSize(256, 256), false);
        add(QStringLiteral("icon101-32"), QSize(32, 32), false);
        add(QStringLiteral("icon101-48"), QSize(48, 48), false);
        for (int number = 107; number <= 109; ++number)
            add(QStringLiteral("icon%1").arg(number), QSize(32, 32), false);
    }

    // Table and splash bitmaps are shown as they are on white cells; icons
    // and button faces must let their background show through.
    void everyPictureLoadsAtItsExactSize()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(bool, opaque);

        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path + QStringLiteral(" is missing")));
        QCOMPARE(image.size(), size);
        if (opaque) {
            QVERIFY(!image.hasAlphaChannel());
        } else {
            QVERIFY(image.hasAlphaChannel());
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        }
    }

    void picturesShowTheirColours_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<Tint>("tint");

        QTest::newRow("splash 102") << load(102) << Tint::Blue;
        QTest::newRow("disqualified flag 115 is grey") << load(115) << Tint::None;
        QTest::newRow("racing flag 116") << load(116) << Tint::Green;
        QTest::newRow("chequered flag 117 is black and white") << load(117) << Tint::None;
        for (int number = 118; number <= 122; ++number)
            QTest::newRow(qPrintable(QStringLiteral("red flag or sign %1").arg(number)))
                << load(number) << Tint::Red;
        QTest::newRow("full tank 131") << load(131) << Tint::Green;
        QTest::newRow("GO arrow 132") << load(132) << Tint::Green;
        QTest::newRow("disqualify cross 133") << load(133) << Tint::Red;
        QTest::newRow("program icon 101") << load(101, "icon") << Tint::Blue;
        QTest::newRow("logo too big 107") << load(107, "icon") << Tint::Red;
        QTest::newRow("logo loaded 108") << load(108, "icon") << Tint::Green;
        QTest::newRow("no logo 109") << load(109, "icon") << Tint::Orange;
    }

    void picturesShowTheirColours()
    {
        QFETCH(QImage, image);
        QFETCH(Tint, tint);
        QVERIFY(!image.isNull());
        QCOMPARE(dominantTint(image), tint);
    }

    // Tank 1 (123) shows no bar and each next picture lights the next bar
    // up: two red, one yellow, then green, never putting a bar out.
    void tankGaugeLightsOneMoreBarFromTheBottom()
    {
        const Tint newBarTint[] = {Tint::Red,   Tint::Red,   Tint::Yellow, Tint::Green,
                                   Tint::Green, Tint::Green, Tint::Green};
        QImage previous = load(123);
        QVERIFY(!previous.isNull());
        auto previousLit = litPixels(previous);
        const int area = previous.width() * previous.height();
        QVERIFY2(int(previousLit.size()) < area / 50, "the empty gauge shows a lit bar");

        double previousBarY = previous.height();
        for (int bar = 0; bar < 7; ++bar) {
            const QImage image = load(124 + bar);
            QVERIFY(!image.isNull());
            const auto lit = litPixels(image);

            std::map<Tint, int> newlyLitTints;
            double ySum = 0;
            int added = 0;
            for (const auto &[x, y] : lit)
                if (!previousLit.count({x, y})) {
                    ++newlyLitTints[tintOf(image.pixel(x, y))];
                    ySum += y;
                    ++added;
                }
            int lost = 0;
            for (const auto &pixel : previousLit)
                lost += !lit.count(pixel);

            const QByteArray which = QByteArray::number(124 + bar);
            QVERIFY2(added > area / 30, "no new bar lit in " + which);
            QVERIFY2(lost < area / 100, "a lit bar went out in " + which);
            QCOMPARE(mostCommonTint(newlyLitTints, 1), newBarTint[bar]);
            QVERIFY2(ySum / added < previousBarY, "the new bar is not above the last in " + which);

            previousBarY = ySum / added;
            previousLit = lit;
        }
    }

    // A copied file in place of another would pass the checks above.
    void noTwoPicturesAreAlike()
    {
        std::vector<std::pair<QString, QImage>> pictures;
        for (int number = 115; number <= 133; ++number)
            pictures.emplace_back(QString::number(number), load(number));
        for (int number = 107; number <= 109; ++number)
            pictures.emplace_back(QStringLiteral("icon%1").arg(number), load(number, "icon"));

        for (size_t i = 0; i < pictures.size(); ++i)
            for (size_t j = i + 1; j < pictures.size(); ++j) {
                const QImage &a = pictures[i].second;
                const QImage &b = pictures[j].second;
                if (a.size() != b.size())
                    continue;
                int differing = 0;
                for (int y = 0; y < a.height(); ++y)
                    for (int x = 0; x < a.width(); ++x)
                        differing += a.pixel(x, y) != b.pixel(x, y);
                QVERIFY2(differing > a.width() * a.height() / 100,
                         qPrintable(pictures[i].first + QStringLiteral(" and ")
                                    + pictures[j].first + QStringLiteral(" look the same")));
            }
    }
};

QTEST_MAIN(ResourcesTest)
#include "resources_test.moc"

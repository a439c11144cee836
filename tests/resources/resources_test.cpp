// The built-in pictures, loaded the way the program loads them: every one is
// reachable after the static link, has the exact size the windows lay out
// for it and shows what its number stands for, so a dropped, swapped or
// duplicated file is caught.
#include <QColor>
#include <QImage>
#include <QTest>

#include <algorithm>
#include <map>
#include <set>

namespace {

enum class Tint { None, Red, Orange, Yellow, Green, Blue, Unchecked };

char *toString(Tint tint)
{
    static const char *const names[] = {"no colour", "red", "orange", "yellow", "green", "blue", "unchecked"};
    return qstrdup(names[int(tint)]);
}

QImage load(const QString &name)
{
    return QImage(QStringLiteral(":/resources/%1.png").arg(name));
}

Tint tintOf(const QColor &colour)
{
    if (colour.alpha() < 128 || colour.hsvSaturation() < 90 || colour.value() < 90)
        return Tint::None;
    const int hue = colour.hsvHue();
    return hue < 15 || hue >= 340 ? Tint::Red
        : hue < 40               ? Tint::Orange
        : hue < 70               ? Tint::Yellow
        : hue < 170              ? Tint::Green
                                 : Tint::Blue;
}

// The coloured tint with the most pixels, or None when none has \a atLeast.
Tint mostCommonTint(std::map<Tint, int> counts, int atLeast)
{
    counts.erase(Tint::None);
    const auto best = std::max_element(counts.begin(), counts.end(),
                                       [](const auto &a, const auto &b) { return a.second < b.second; });
    return best == counts.end() || best->second < atLeast ? Tint::None : best->first;
}

// Grey, black and white pictures with only a small coloured detail have no
// colour: a colour must cover a tenth of the picture.
Tint dominantTint(const QImage &image)
{
    std::map<Tint, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[tintOf(image.pixelColor(x, y))];
    return mostCommonTint(counts, image.width() * image.height() / 10);
}

// Pixels of a lit gauge bar: strongly coloured and bright. Unlit bars are dark.
std::set<std::pair<int, int>> litPixels(const QImage &image)
{
    std::set<std::pair<int, int>> lit;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).hsvSaturation() >= 90 && image.pixelColor(x, y).value() >= 150)
                lit.insert({x, y});
    return lit;
}

} // namespace

Q_DECLARE_METATYPE(Tint)

class ResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void everyPictureHasItsSizeAndColour_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("opaque");
        QTest::addColumn<Tint>("tint");
        const auto add = [](const QString &name, QSize size, bool opaque, Tint tint, const char *what) {
            QTest::addRow("%s %s", qPrintable(name), what) << name << size << opaque << tint;
        };
        add("bitmap102", {350, 170}, true, Tint::Blue, "splash");
        add("bitmap115", {78, 60}, true, Tint::None, "disqualified flag is grey");
        add("bitmap116", {78, 60}, true, Tint::Green, "racing flag");
        add("bitmap117", {78, 60}, true, Tint::None, "chequered flag is black and white");
        for (int number = 118; number <= 122; ++number)
            add(QStringLiteral("bitmap%1").arg(number), {78, 60}, true, Tint::Red, "red flag or sign");
        for (int number = 123; number <= 130; ++number)
            add(QStringLiteral("bitmap%1").arg(number), {52, 69}, true, Tint::Unchecked, "tank gauge");
        add("bitmap131", {70, 70}, true, Tint::Green, "full tank");
        add("bitmap132", {30, 30}, false, Tint::Green, "GO arrow");
        add("bitmap133", {30, 30}, false, Tint::Red, "disqualify cross");
        add("icon101", {256, 256}, false, Tint::Blue, "program icon");
        add("icon101-32", {32, 32}, false, Tint::Blue, "program icon");
        add("icon101-48", {48, 48}, false, Tint::Blue, "program icon");
        add("icon107", {32, 32}, false, Tint::Red, "logo too big");
        add("icon108", {32, 32}, false, Tint::Green, "logo loaded");
        add("icon109", {32, 32}, false, Tint::Orange, "no logo");
    }

    // Table and splash bitmaps are shown as they are on white cells; icons
    // and button faces must let their background show through.
    void everyPictureHasItsSizeAndColour()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(bool, opaque);
        QFETCH(Tint, tint);
        const QImage image = load(name);
        QVERIFY2(!image.isNull(), qPrintable(name + QStringLiteral(" is missing")));
        QCOMPARE(image.size(), size);
        QCOMPARE(image.hasAlphaChannel(), !opaque);
        if (!opaque)
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        if (tint != Tint::Unchecked)
            QCOMPARE(dominantTint(image), tint);
    }

    // Tank 1 (123) shows no bar and each next picture lights the next bar
    // up: two red, one yellow, then green, never putting a bar out.
    void tankGaugeLightsOneMoreBarFromTheBottom()
    {
        const Tint newBarTint[] = {Tint::Red,   Tint::Red,   Tint::Yellow, Tint::Green,
                                   Tint::Green, Tint::Green, Tint::Green};
        QImage previous = load(QStringLiteral("bitmap123"));
        QVERIFY(!previous.isNull());
        auto previousLit = litPixels(previous);
        const int area = previous.width() * previous.height();
        QVERIFY2(int(previousLit.size()) < area / 50, "the empty gauge shows a lit bar");

        double previousBarY = previous.height();
        for (int bar = 0; bar < 7; ++bar) {
            const QImage image = load(QStringLiteral("bitmap%1").arg(124 + bar));
            const auto lit = litPixels(image);
            std::map<Tint, int> newlyLitTints;
            double ySum = 0;
            int added = 0;
            for (const auto &[x, y] : lit)
                if (!previousLit.count({x, y})) {
                    ++newlyLitTints[tintOf(image.pixelColor(x, y))];
                    ySum += y;
                    ++added;
                }
            const int lost = int(std::count_if(previousLit.begin(), previousLit.end(),
                                               [&](const auto &pixel) { return !lit.count(pixel); }));

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
        QStringList names;
        for (int number = 115; number <= 133; ++number)
            names << QStringLiteral("bitmap%1").arg(number);
        for (int number = 107; number <= 109; ++number)
            names << QStringLiteral("icon%1").arg(number);

        QList<QImage> images;
        for (const QString &name : names)
            images << load(name);
        for (qsizetype i = 0; i < names.size(); ++i)
            for (qsizetype j = i + 1; j < names.size(); ++j) {
                const QImage &a = images[i];
                const QImage &b = images[j];
                if (a.size() != b.size())
                    continue;
                int differing = 0;
                for (int y = 0; y < a.height(); ++y)
                    for (int x = 0; x < a.width(); ++x)
                        differing += a.pixel(x, y) != b.pixel(x, y);
                QVERIFY2(differing > a.width() * a.height() / 100,
                         qPrintable(names[i] + QStringLiteral(" and ") + names[j] + QStringLiteral(" look the same")));
            }
    }
};

QTEST_MAIN(ResourcesTest)
#include "resources_test.moc"

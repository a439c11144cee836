#include "setup/trackdialog.h"

#include "config/racesettings.h"
#include "setup/dialogokbutton.h"
#include "setup/dialogunits.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

constexpr int kLengthLow = 1;
constexpr int kLengthHigh = 10000;
constexpr int kScaleLow = 1;
constexpr int kScaleHigh = 100;
constexpr int kDefaultLength = 20;
constexpr int kDefaultScale = 32;

} // namespace

// An up-down button pair that is not attached to an edit: it keeps its own
// position within its range. A click first reports the position and the
// step, so the dialog can act on it, and only then moves the position.
class TrackDialog::SpinButtons : public QWidget {
public:
    SpinButtons(const char *name, QWidget *parent) : QWidget(parent)
    {
        setObjectName(QString::fromLatin1(name));
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(createArrow(Qt::UpArrow, "up", +1));
        layout->addWidget(createArrow(Qt::DownArrow, "down", -1));
    }

    void setRange(int low, int high)
    {
        low_ = low;
        high_ = high;
        position_ = std::clamp(position_, low_, high_);
    }
    void setPosition(int position) { position_ = std::clamp(position, low_, high_); }

    std::function<void(int position, int step)> onClick;

private:
    QToolButton *createArrow(Qt::ArrowType arrow, const char *name, int step)
    {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(button, &QToolButton::clicked, this, [this, step] {
            if (onClick)
                onClick(position_, step);
            setPosition(position_ + step);
        });
        return button;
    }

    int low_ = 0;
    int high_ = 100;
    int position_ = 0;
};

TrackDialog::TrackDialog(OkButtonRole role, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Délka a měřítko dráhy"));
    DialogUnits units(font());

    units.place(createOkButton(this, role), 70, 28, 50, 14);
    units.place(new QLabel(QStringLiteral("Dálka dráhy"), this), 7, 10, 39, 8);
    createField(length_, "edit1000", "spin1001", kLengthLow, kLengthHigh);
    units.place(length_.edit, 50, 7, 40, 14);
    units.place(length_.spin, 92, 7, 10, 13);
    units.place(new QLabel(QStringLiteral("metrů, měřítko 1:"), this), 105, 10, 54, 8);
    createField(scale_, "edit1002", "spin1003", kScaleLow, kScaleHigh);
    units.place(scale_.edit, 161, 7, 18, 14);
    units.place(scale_.spin, 181, 7, 11, 13);
    units.apply(this, 199, 49);
}

void TrackDialog::createField(Field &field, const char *editName, const char *spinName, int low, int high)
{
    field.low = low;
    field.high = high;
    field.edit = new QLineEdit(this);
    field.edit->setObjectName(QString::fromLatin1(editName));
    field.edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field.edit));
    connect(field.edit, &QLineEdit::textChanged, this, [this, &field] { textChanged(field); });
    field.spin = new SpinButtons(spinName, this);
    field.spin->setRange(low, high);
    field.spin->onClick = [this, &field](int position, int step) { spinClicked(field, position + step); };
}

void TrackDialog::setValues(const Values &values)
{
    length_.value = values.trackLength;
    scale_.value = values.scale;
    if (length_.value == 0 && scale_.value == 0) {
        length_.value = kDefaultLength;
        scale_.value = kDefaultScale;
    }
    length_.spin->setPosition(length_.value);
    scale_.spin->setPosition(scale_.value);
    // Writing the edits runs the change rule, which shows stored values
    // outside their range clamped.
    rewriteEdits();
}

TrackDialog::Values TrackDialog::values() const
{
    return {settingToInt(length_.edit->text().toStdString()), settingToInt(scale_.edit->text().toStdString())};
}

void TrackDialog::textChanged(Field &field)
{
    const int typed = settingToInt(field.edit->text().toStdString());
    field.value = std::clamp(typed, field.low, field.high);
    if (field.value != typed) {
        field.spin->setPosition(field.value);
        rewriteEdits();
    }
}

void TrackDialog::spinClicked(Field &field, int value)
{
    // Not clamped here: the change rule clamps when the edit is rewritten.
    field.value = value;
    rewriteEdits();
}

void TrackDialog::rewriteEdits()
{
    // Rewriting an unchanged text would change nothing but the cursor.
    for (Field *field : {&length_, &scale_}) {
        const QString text = QString::number(field->value);
        if (field->edit->text() != text)
            field->edit->setText(text);
    }
}

#include "setup/settingsdialogs.h"

#include "setup/aboutdialog.h"
#include "setup/autocountingdialog.h"
#include "setup/commdialog.h"
#include "setup/displaydialog.h"
#include "setup/incompletesettingsdialog.h"
#include "setup/lapsdialog.h"
#include "setup/racersdialog.h"
#include "setup/trackdialog.h"

namespace {

// Runs \a Dialog filled by \a load; on OK hands its values to \a store, which
// writes them into the returned copy of \a settings.
template <typename Dialog, typename Load, typename Store>
std::optional<RaceSettings> editWith(QWidget *parent, const RaceSettings &settings, OkButtonRole role, Load load,
                                     Store store)
{
    Dialog dialog(role, parent);
    dialog.setValues(load(settings));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    RaceSettings edited = settings;
    store(dialog.values(), edited);
    return edited;
}

} // namespace

std::optional<RaceSettings> execSettingsDialog(QWidget *parent, SettingGroup group, const RaceSettings &settings,
                                               OkButtonRole role)
{
    switch (group) {
    case SettingGroup::Track:
        return editWith<TrackDialog>(
            parent, settings, role,
            [](const RaceSettings &s) {
                return TrackDialog::Values{settingToInt(s.trackLength), settingToInt(s.scale)};
            },
            [](const TrackDialog::Values &v, RaceSettings &s) {
                s.trackLength = intToSetting(v.trackLength);
                s.scale = intToSetting(v.scale);
            });
    case SettingGroup::Display:
        return editWith<DisplayDialog>(
            parent, settings, role,
            [](const RaceSettings &s) {
                return DisplayDialog::Values{settingToInt(s.displayOrder), settingToInt(s.racerArrangement),
                                             settingToInt(s.colourScheme)};
            },
            [](const DisplayDialog::Values &v, RaceSettings &s) {
                s.displayOrder = intToSetting(v.order);
                s.racerArrangement = intToSetting(v.arrangement);
                s.colourScheme = intToSetting(v.colour);
            });
    case SettingGroup::AutoCounting:
        return editWith<AutoCountingDialog>(
            parent, settings, role,
            [](const RaceSettings &s) { return AutoCountingDialog::Values{settingToInt(s.autoOffTrackCounting)}; },
            [](const AutoCountingDialog::Values &v, RaceSettings &s) {
                s.autoOffTrackCounting = intToSetting(v.autoOffTrackCounting);
            });
    case SettingGroup::Racers:
        return editWith<RacersDialog>(
            parent, settings, role,
            [](const RaceSettings &s) { return RacersDialog::Values{s.racerName, s.racerLogo}; },
            [](const RacersDialog::Values &v, RaceSettings &s) {
                s.racerName = v.racerName;
                s.racerLogo = v.logoPath;
            });
    case SettingGroup::Laps:
        return editWith<LapsDialog>(
            parent, settings, role,
            [](const RaceSettings &s) { return LapsDialog::Values{settingToInt(s.lapsPerRide)}; },
            [](const LapsDialog::Values &v, RaceSettings &s) { s.lapsPerRide = intToSetting(v.lapsPerRide); });
    case SettingGroup::Communication:
        return editWith<CommDialog>(
            parent, settings, role,
            [](const RaceSettings &s) {
                return CommDialog::Values{s.commPort, s.baudRate, s.dataBits, s.stopBits, s.parity};
            },
            [](const CommDialog::Values &v, RaceSettings &s) {
                s.commPort = v.commPort;
                s.baudRate = v.baudRate;
                s.dataBits = v.dataBits;
                s.stopBits = v.stopBits;
                s.parity = v.parity;
            });
    }
    return std::nullopt;
}

IncompleteSettingsChoice execIncompleteSettingsDialog(QWidget *parent, bool loadEnabled)
{
    IncompleteSettingsDialog dialog(loadEnabled, parent);
    return dialog.choose();
}

void execAboutDialog(QWidget *parent)
{
    AboutDialog dialog(parent);
    dialog.exec();
}

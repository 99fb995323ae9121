// The window as a production station: each board it writes gets its own serial number and a
// line in the log of boards, as the production settings say. The rules are the station's.
#include "app/BootloaderApp.h"
#include "ui/mainwindow/CLoadAndWriteDialog.h"
#include "ui/mainwindow/ProductionDialog.h"
#include "ui/mainwindow/ProductionSettingsStore.h"

namespace {

bool Active(const ProductionSettings& settings) {
    return settings.serials || !settings.logPath.empty();
}

}  // namespace

bool CLoadAndWriteDialog::SetProduction(const ProductionSettings& settings, std::string& error) {
    if (control_->Busy()) {
        error = "the production settings cannot change while the board is busy";
        return false;
    }
    if (!Active(settings)) {
        station_.reset();
        return true;
    }
    std::unique_ptr<ProductionStation> station = ProductionStation::Open(settings, error);
    if (!station) return false;
    station_ = std::move(station);
    return true;
}

void CLoadAndWriteDialog::RestoreProduction() {
    const ProductionSettings settings = ReadProductionSettings();
    if (std::string error; !SetProduction(settings, error)) {
        AddLogLine("Production settings not used: " + error, "failed");
    }
}

void CLoadAndWriteDialog::OnProductionCommand() {
    if (control_->Busy()) return;
    ProductionDialog dialog(station_ ? station_->Settings() : ReadProductionSettings(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (std::string error; !SetProduction(dialog.Settings(), error)) {
        boxes_.Show(error, "Production", BoxIcon::Error, BoxButtons::Ok);
        return;
    }
    if (!SaveProductionSettings(dialog.Settings())) {
        AddLogLine("Production settings not saved for the next start", "failed");
    }
}

void CLoadAndWriteDialog::FinishStationWrite() {
    if (!stationWrite_) return;
    stationWrite_ = false;
    const StationLines lines =
        station_->Finish(*control_, app_.Engine(), "COM" + std::to_string(app_.m_comNumber),
                         app_.m_comNumber, writeCause_);
    for (const std::string& note : lines.notes) AddLogLine(note, "ok");
    for (const std::string& error : lines.errors) AddLogLine(error, "failed");
}

#pragma once

#include <QDialog>

#include "control/ProductionStation.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// The production settings of the window: whether each board written gets its own serial
// number (from where, to where, kept in which file, and what a failed board does with it) and
// the log file that records every board. OK keeps the dialog open, saying why, while a value is
// not sound.
class ProductionDialog : public QDialog {
    Q_OBJECT

public:
    ProductionDialog(const ProductionSettings& settings, QWidget* parent = nullptr);

    // The settings as the user left them; meaningful once the dialog was accepted.
    const ProductionSettings& Settings() const { return settings_; }
    // Why OK was refused, as the dialog shows it; empty when it was not.
    QString Problem() const;

    QCheckBox* serials_;
    QLineEdit* start_;
    QLineEdit* step_;
    QLineEdit* address_;
    QSpinBox* words_;
    QLineEdit* statePath_;
    QCheckBox* reuseOnFail_;
    QLineEdit* logPath_;

public slots:
    void accept() override;

private:
    // The fields read into settings_; the first value that is not sound, or empty.
    QString ReadFields();
    void ShowSerialFields(bool shown);

    QLabel* problem_;
    ProductionSettings settings_;
};

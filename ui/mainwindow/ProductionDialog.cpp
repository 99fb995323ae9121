#include "ui/mainwindow/ProductionDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cstdio>
#include <initializer_list>

namespace {

QString HexText(std::uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(address));
    return QString::fromLatin1(text);
}

std::optional<std::uint64_t> Number(const QLineEdit* field) {
    return ParseWholeNumber(field->text().trimmed().toStdString());
}

}  // namespace

ProductionDialog::ProductionDialog(const ProductionSettings& settings, QWidget* parent)
    : QDialog(parent),
      serials_(new QCheckBox(tr("&Give each board its own serial number"))),
      start_(new QLineEdit(QString::number(settings.start))),
      step_(new QLineEdit(QString::number(settings.step))),
      address_(new QLineEdit(HexText(settings.place.address))),
      words_(new QSpinBox),
      statePath_(new QLineEdit(QString::fromStdString(settings.statePath))),
      reuseOnFail_(new QCheckBox(tr("A board whose write fails gives its number &back"))),
      logPath_(new QLineEdit(QString::fromStdString(settings.logPath))),
      problem_(new QLabel),
      settings_(settings) {
    setWindowTitle(tr("Production"));
    serials_->setChecked(settings.serials);
    words_->setRange(1, static_cast<int>(kMostSerialWords));
    words_->setValue(static_cast<int>(settings.place.words));
    reuseOnFail_->setChecked(settings.reuseOnFail);
    logPath_->setPlaceholderText(tr("none"));
    problem_->setWordWrap(true);

    auto* numbers = new QFormLayout;
    numbers->addRow(tr("&First number:"), start_);
    numbers->addRow(tr("&Step:"), step_);
    numbers->addRow(tr("Word &address:"), address_);
    numbers->addRow(tr("&Words (16 bits each):"), words_);
    numbers->addRow(tr("&Next number kept in:"), statePath_);
    numbers->addRow(reuseOnFail_);
    auto* log = new QFormLayout;
    log->addRow(tr("&Log file (a JSON line per board):"), logPath_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &ProductionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ProductionDialog::reject);
    connect(serials_, &QCheckBox::toggled, this, &ProductionDialog::ShowSerialFields);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(serials_);
    layout->addLayout(numbers);
    layout->addLayout(log);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    ShowSerialFields(settings.serials);
}

QString ProductionDialog::Problem() const {
    return problem_->text();
}

void ProductionDialog::ShowSerialFields(bool shown) {
    for (QWidget* field : std::initializer_list<QWidget*>{start_, step_, address_, words_,
                                                          statePath_, reuseOnFail_}) {
        field->setEnabled(shown);
    }
}

QString ProductionDialog::ReadFields() {
    ProductionSettings read;
    read.serials = serials_->isChecked();
    read.reuseOnFail = reuseOnFail_->isChecked();
    read.statePath = statePath_->text().trimmed().toStdString();
    read.logPath = logPath_->text().trimmed().toStdString();
    read.place.words = static_cast<unsigned>(words_->value());
    const std::optional<std::uint64_t> start = Number(start_);
    const std::optional<std::uint64_t> step = Number(step_);
    const std::optional<std::uint64_t> address = Number(address_);
    if (read.serials) {
        if (!start) return tr("The first number is not a whole number.");
        if (!step) return tr("The step is not a whole number.");
        if (!address || *address > UINT32_MAX) return tr("The word address is not an address.");
    }
    read.start = start.value_or(settings_.start);
    read.step = step.value_or(settings_.step);
    read.place.address = address && *address <= UINT32_MAX ? static_cast<std::uint32_t>(*address)
                                                           : settings_.place.address;
    if (const std::string problem = SerialSettingsProblem(read); !problem.empty()) {
        return QString::fromStdString(problem);
    }
    settings_ = read;
    return {};
}

void ProductionDialog::accept() {
    const QString problem = ReadFields();
    problem_->setText(problem);
    if (problem.isEmpty()) QDialog::accept();
}

#pragma once

#include <memory>
#include <optional>
#include <string>

class QFileDialog;
class QWidget;

// Asks the user for the HEX file to open. The desktop's file dialog in the program; tests
// choose the file themselves.
class IHexFileDialog {
public:
    virtual ~IHexFileDialog() = default;
    // The chosen file's full path; empty when the user cancelled.
    virtual std::optional<std::string> ChooseHexFile(QWidget& parent) = 0;
};

// The setting that holds the folder of the file last chosen in the open dialog.
inline constexpr const char* kHexFolderSetting = "hexfolder";

// The desktop's open-file dialog: "select hex file to load", Intel HEX files or all files,
// suffix "hex", in the detail view and large enough to show its four columns whole, whose size,
// type and date columns take the width their texts need. It opens in `folder` when that is
// not empty.
std::unique_ptr<QFileDialog> MakeHexFileDialog(QWidget& parent, const std::string& folder = {});

// The desktop's dialog, opened in the folder of the file last chosen in it, in this run or an
// earlier one.
class QtHexFileDialog : public IHexFileDialog {
public:
    std::optional<std::string> ChooseHexFile(QWidget& parent) override;
};

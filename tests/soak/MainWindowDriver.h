#pragma once

#include <memory>
#include <string>

#include "tests/soak/SoakRun.h"
#include "ui/mainwindow/CLoadAndWriteDialog.h"

class VirtualBoard;

// Page 3/3 on the offscreen platform, its buttons' commands called as a click calls them,
// against the board published as COM<comNumber>.
class MainWindowDriver : public SoakDriver {
public:
    MainWindowDriver(VirtualBoard& board, int comNumber, std::string hexPath);
    ~MainWindowDriver() override;

    bool Connect() override;
    bool Load() override;
    bool Write() override;
    bool Run() override;
    bool Reconnect() override;
    std::array<bool, 3> TickedBlocks() const override;

private:
    class Boxes : public IMessageBox {
    public:
        BoxAnswer Show(const std::string& text, const std::string& caption, BoxIcon icon,
                       BoxButtons buttons) override;
        int shown = 0;
    };

    bool WaitWhileBusy();
    std::pair<std::string, std::string> LastLogLine() const;
    void TickEveryFilledBlock();

    VirtualBoard& board_;
    int comNumber_;
    std::string hexPath_;
    Boxes boxes_;
    std::unique_ptr<CLoadAndWriteDialog> window_;
};

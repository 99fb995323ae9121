#pragma once

#include <QFont>
#include <QIcon>
#include <QPointer>
#include <memory>
#include <string>

#include "control/HexFileWatch.h"
#include "control/ProductionStation.h"
#include "control/ProgrammingSession.h"
#include "ui/QtMessageTarget.h"
#include "ui/mainwindow/HexFileDialog.h"
#include "ui/mainwindow/LogList.h"
#include "ui/mainwindow/StatusImages.h"
#include "ui/mainwindow/WideProgressBar.h"
#include "ui/pages/CTemplateDialog.h"

class CBootloaderApp;
class QCheckBox;
class QLabel;
class QProgressBar;
class QTreeWidget;

// Page 3/3, the main programming window: opens and reloads the HEX file, watches it for
// changes, keeps the log, hands the commands to the programming session and renders what the
// session tells it.
class CLoadAndWriteDialog : public CTemplateDialog, public ISessionObserver {
    Q_OBJECT

public:
    // The window of `app`'s engine. `boxes` shows every message box of the window; the
    // desktop's file dialog is used when `fileDialog` is null.
    CLoadAndWriteDialog(CBootloaderApp& app, IMessageBox& boxes,
                        std::unique_ptr<IHexFileDialog> fileDialog = nullptr,
                        QWidget* parent = nullptr);
    ~CLoadAndWriteDialog() override;

    ProgrammingSession& Programming() { return *control_; }
    HexFileWatch& FileWatch() { return watch_; }

    // Commands of the five bitmap buttons, "&clean" and the about item.
    void OnOpenCommand();
    void OnWriteCommand();
    void OnRunCommand();
    void OnReconnectCommand();
    void OnReloadCommand();
    void OnCleanCommand();
    void OnAboutCommand();
    // The context menu's production settings: serial numbers and the log of boards.
    void OnProductionCommand();

    // Numbers and records every board written from now on as `settings` say; false with
    // `error` set (and the settings before kept) when they cannot.
    bool SetProduction(const ProductionSettings& settings, std::string& error);
    // Null while the settings give no serial numbers and keep no log.
    const ProductionStation* Station() const { return station_.get(); }

    // Loads `path` as the open command would, as soon as the window is shown (a file given on
    // the command line).
    void OpenWhenShown(std::string path);

    // The window's own operations, as the session's changes render them.
    void AddLogLine(const std::string& message, const std::string& result);
    void UpdateControlStates();
    void SetStatusLamp(Lamp state);
    void ShowVersions();
    void UpdateBlockChecks();

    // ISessionObserver.
    void OnLogLine(const std::string& message, bool ok) override;
    void OnChanged(SessionChange change) override;
    BoxAnswer OnBox(const SessionBox& box) override;

    int m_detectTimerId = 0;
    QFont m_labelFont;
    QIcon m_appIcon;

public slots:
    // Every way the window ends comes here: a detection or a write still running is stopped
    // first, so that no worker posts to a window that is gone or keeps using the port. While
    // a write runs the user is asked first; the write then stops after the row on the line.
    void done(int result) override;

protected:
    void OnInitDialog() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void customEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A HEX file dropped onto the window is opened as the open command would; refused while
    // the open command is.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ShowDeviceRanges();
    void ShowStatus();
    void SetStatusText(const std::string& text);
    void SetRangeLabel(int block, const std::string& text);
    void RefreshCursor();
    void StartDetectionTimer();
    void KillDetectionTimer();

    bool FillWindow();
    bool AttachBitmapButtons();
    void ConnectCommands();
    bool RunReturnKeyCommand(QObject* target);
    void SetWindowTitleFor(const std::string& hexPath);
    // Opens `path` as the open command does once the user has chosen it.
    void OpenFile(const std::string& path);
    // Whether the open command would run now.
    bool OpenAllowed() const;
    // After each command or message: lets the file watch ask what it had to keep back.
    void AfterEvent();
    void ShutdownWorkers();
    // The stored production settings, taken up when the window opens.
    void RestoreProduction();
    // Once a write the station prepared has ended: the number's fate and the board's record.
    void FinishStationWrite();
    bool InLogList(const QWidget* widget) const;

    QLabel* Label(int id) const;
    QCheckBox* BlockCheck(int block) const;
    // Enables or disables a control. A control that loses the focus this way hands it to the
    // window itself, not to the next control (which would be the log), and gets it back once
    // it is enabled again.
    void SetControlEnabled(QWidget* control, bool enabled);
    // Lets `control`, disabled now, take the focus once it is enabled, unless the focus has
    // moved on from where it is now by then.
    void ParkFocus(QWidget* control);
    // Gives the focus to the control that waits for it, once that control is enabled again.
    void ReturnParkedFocus();

    CBootloaderApp& app_;
    IMessageBox& boxes_;
    std::unique_ptr<IHexFileDialog> fileDialog_;
    StatusImages images_;
    QProgressBar* progressBar_;
    QTreeWidget* logView_;
    WideProgressBar progress_;
    LogList log_;
    // Declared before the control: the workers post here until the control has joined them.
    QtMessageTarget target_;
    std::unique_ptr<ProgrammingSession> control_;
    HexFileWatch watch_;
    // The control that gets the focus when it is enabled again, and where the focus was then.
    QPointer<QWidget> parkedFocus_;
    QPointer<QWidget> parkedFrom_;
    bool fileDialogOpen_ = false;
    std::unique_ptr<ProductionStation> station_;
    bool stationWrite_ = false;  // a write the station prepared is running
    std::string writeCause_;     // the last cause a box of that write gave
    std::string openWhenShown_;
};

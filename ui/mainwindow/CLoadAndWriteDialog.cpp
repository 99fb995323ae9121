#include "ui/mainwindow/CLoadAndWriteDialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimerEvent>
#include <QTreeWidget>
#include <cstdio>
#include <utility>

#include "app/BootloaderApp.h"
#include "common/Product.h"
#include "control/DetectionTexts.h"
#include "ui/DialogUnits.h"
#include "ui/Images.h"
#include "ui/WindowMessageEvent.h"
#include "ui/controls/CBitmapButton.h"
#include "ui/controls/CHyperlinkStatic.h"
#include "ui/mainwindow/LabelFit.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"
#include "ui/pages/ResetChoice.h"

using namespace mainwindow;

namespace {

constexpr int kDetectionTickMs = 1000;

// The version and device labels' face where the system has it, else the dialog's own face;
// 12 pixels from the top of the tallest letter to the bottom of the lowest.
QFont LabelFont() {
    constexpr int kCellHeight = 12;
    QFont font = DialogFont();
    const QString wanted = QStringLiteral("Microsoft Sans Serif");
    if (QFontDatabase::families().contains(wanted)) font.setFamily(wanted);
    font.setWeight(QFont::Normal);
    int pixels = kCellHeight;
    font.setPixelSize(pixels);
    while (pixels > 1 && QFontMetrics(font).height() > kCellHeight) font.setPixelSize(--pixels);
    return font;
}

bool IsReturnKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

}  // namespace

CLoadAndWriteDialog::CLoadAndWriteDialog(CBootloaderApp& app, IMessageBox& boxes,
                                         std::unique_ptr<IHexFileDialog> fileDialog,
                                         QWidget* parent)
    : CTemplateDialog(LoadAndWriteTemplate(), parent),
      m_appIcon(AppIcon()),
      app_(app),
      boxes_(boxes),
      fileDialog_(fileDialog ? std::move(fileDialog) : std::make_unique<QtHexFileDialog>()),
      images_(StatusImagesFor(app.m_osName)),
      progressBar_(ControlAs<QProgressBar>(kIdcProgress)),
      logView_(ControlAs<QTreeWidget>(kIdcLog)),
      progress_(*progressBar_),
      log_(*logView_),
      target_(this),
      control_(std::make_unique<ProgrammingSession>(app.Engine(), *this, target_)),
      watch_(*control_, boxes_) {
    // The reconnect resets the board as page 2/3 did.
    control_->SetResetSequence(ResetSequenceFor(app.m_reset));
    ConnectCommands();
}

CLoadAndWriteDialog::~CLoadAndWriteDialog() {
    ShutdownWorkers();
    target_.Detach();
    control_.reset();
}

void CLoadAndWriteDialog::OnInitDialog() {
    setWindowIcon(m_appIcon);
    if (!FillWindow()) {
        // Closes as if cancelled, once the dialog has finished showing.
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    if (!openWhenShown_.empty()) {
        // Once the window is on screen, so that the load's boxes come up over it.
        QMetaObject::invokeMethod(
            this,
            [this] {
                const std::string path = std::exchange(openWhenShown_, {});
                if (OpenAllowed()) OpenFile(path);
                AfterEvent();
            },
            Qt::QueuedConnection);
    }
}

void CLoadAndWriteDialog::OpenWhenShown(std::string path) {
    openWhenShown_ = std::move(path);
}

bool CLoadAndWriteDialog::FillWindow() {
    ControlAs<CHyperlinkStatic>(kIdcMakerLink)->SetURL(QLatin1String(product::kMakerWebUrl));
    for (int block = kBlockCode; block <= kBlockConfig; ++block) {
        SetRangeLabel(block, MemoryRangeText(app_.m_device.images[block]));
    }
    m_labelFont = LabelFont();
    ShowVersions();

    if (!log_.SetUpColumns()) return false;
    AddLogLine("vardeno dsPIC bootloader started", "ok");
    RestoreProduction();
    if (!AttachBitmapButtons()) return false;

    auto* clean = ControlAs<QPushButton>(kIdcCleanLog);
    const QPixmap cleanImage = LoadBitmap(images_.clean);
    clean->setIcon(cleanImage);
    clean->setIconSize(cleanImage.deviceIndependentSize().toSize());
    // Not the dialog's default button, which would wear the default frame whatever has the
    // focus and hide its own focus; Enter on it still cleans (the Return key routes).
    clean->setAutoDefault(false);
    clean->installEventFilter(this);
    setAcceptDrops(true);

    UpdateControlStates();
    ShowStatus();
    watch_.m_reloadPromptActive = 0;
    FitOneLineLabels(*this);
    Control(kIdcOpen)->setFocus();
    return true;
}

bool CLoadAndWriteDialog::AttachBitmapButtons() {
    for (const int id : {kIdcWrite, kIdcOpen, kIdcReload, kIdcRun, kIdcReconnect}) {
        auto* button = ControlAs<CBitmapButton>(id);
        // The four images are loaded all or none; a missing one is a broken installation.
        if (button->sizeHint().isEmpty()) {
            qWarning("Pelorant: the images of button %d are missing", id);
            return false;
        }
        button->SizeToContent();
        button->installEventFilter(this);
    }
    return true;
}

void CLoadAndWriteDialog::ConnectCommands() {
    const auto onClick = [this](int id, void (CLoadAndWriteDialog::*command)()) {
        connect(ControlAs<QAbstractButton>(id), &QAbstractButton::clicked, this,
                [this, command] { (this->*command)(); });
    };
    onClick(kIdcOpen, &CLoadAndWriteDialog::OnOpenCommand);
    onClick(kIdcWrite, &CLoadAndWriteDialog::OnWriteCommand);
    onClick(kIdcCleanLog, &CLoadAndWriteDialog::OnCleanCommand);
    onClick(kIdcReload, &CLoadAndWriteDialog::OnReloadCommand);
    onClick(kIdcReconnect, &CLoadAndWriteDialog::OnReconnectCommand);
    onClick(kIdcRun, &CLoadAndWriteDialog::OnRunCommand);
    // The user's choice of memories is the session's, read at each block of a write.
    for (int block = kBlockCode; block <= kBlockConfig; ++block) {
        connect(BlockCheck(block), &QCheckBox::toggled, this,
                [this, block](bool checked) { control_->ChooseBlock(block, checked); });
    }
    onClick(kIdcAbout, &CLoadAndWriteDialog::OnAboutCommand);
    QWidget* about = Control(kIdcAbout);
    about->setToolTip(QStringLiteral("About Pelorant (F1)"));
    about->setAccessibleName(QStringLiteral("About Pelorant"));
}

bool CLoadAndWriteDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && IsReturnKey(*static_cast<QKeyEvent*>(event))) {
        return RunReturnKeyCommand(watched);
    }
    return CTemplateDialog::eventFilter(watched, event);
}

void CLoadAndWriteDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        OnAboutCommand();
        return;
    }
    // Enter that no control took ends the window, the dialog's OK; Enter in the log list
    // only looks at the log. A key meant for the focused control must not drop the detected
    // connection unasked: outside a write it asks here, during one the write's own question
    // comes.
    if (IsReturnKey(*event) && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (InLogList(focusWidget())) return;
        if (control_->WriteRunning() ||
            boxes_.Show("Close Pelorant?", product::kProgramName, BoxIcon::Warning,
                        BoxButtons::YesNoDefaultNo) == BoxAnswer::Yes) {
            accept();
        }
        return;
    }
    CTemplateDialog::keyPressEvent(event);
}

void CLoadAndWriteDialog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("&About Pelorant..."), this,
                   &CLoadAndWriteDialog::OnAboutCommand);
    menu.addAction(QStringLiteral("&Production..."), this,
                   &CLoadAndWriteDialog::OnProductionCommand);
    menu.exec(event->globalPos());
}

void CLoadAndWriteDialog::timerEvent(QTimerEvent* event) {
    if (m_detectTimerId == 0 || event->timerId() != m_detectTimerId) {
        CTemplateDialog::timerEvent(event);
        return;
    }
    if (isVisible()) control_->OnTimer();
}

void CLoadAndWriteDialog::customEvent(QEvent* event) {
    if (!WindowMessageEvent::IsWindowMessage(event)) {
        CTemplateDialog::customEvent(event);
        return;
    }
    const auto* message = static_cast<WindowMessageEvent*>(event);
    control_->Dispatch(WindowMessage{message->Message(), message->WParam(), message->LParam()});
    AfterEvent();
}

void CLoadAndWriteDialog::changeEvent(QEvent* event) {
    CTemplateDialog::changeEvent(event);
    // A window that has closed asks nothing about its file.
    if (event->type() == QEvent::ActivationChange && isVisible() && !fileDialogOpen_) {
        watch_.OnActivationChange();
    }
}

void CLoadAndWriteDialog::StartDetectionTimer() {
    KillDetectionTimer();
    m_detectTimerId = startTimer(kDetectionTickMs);
}

void CLoadAndWriteDialog::KillDetectionTimer() {
    if (m_detectTimerId != 0) killTimer(m_detectTimerId);
    m_detectTimerId = 0;
}

void CLoadAndWriteDialog::done(int result) {
    // A chip left half-written by one key is worse than a question.
    if (control_ && control_->WriteRunning()) {
        const BoxAnswer answer =
            boxes_.Show("A write is in progress. Stop after the current row and close?",
                        "write in progress", BoxIcon::Warning, BoxButtons::YesNoDefaultNo);
        if (answer != BoxAnswer::Yes) return;
        control_->Stop();
    }
    ShutdownWorkers();
    CTemplateDialog::done(result);
}

bool CLoadAndWriteDialog::InLogList(const QWidget* widget) const {
    return widget != nullptr && (widget == logView_ || logView_->isAncestorOf(widget));
}

void CLoadAndWriteDialog::ShutdownWorkers() {
    if (!control_) return;
    control_->Shutdown();
    KillDetectionTimer();
    // What the workers posted before they ended belongs to work that no longer exists.
    for (unsigned message = kMsgDetectionFinished; message <= kMsgBlockFinished; ++message) {
        QCoreApplication::removePostedEvents(this, static_cast<int>(message));
    }
}

void CLoadAndWriteDialog::AfterEvent() {
    watch_.OnIdle();
}

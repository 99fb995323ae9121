#pragma once

#include "ui/pages/CTemplateDialog.h"

class CTransparentStatic2;

// The start-up splash: "loading environment...", then "detecting COM ports...", 1.5 s each;
// then it closes itself (cancelled).
class CInitialSplash : public CTemplateDialog {
    Q_OBJECT

public:
    static constexpr int kTickMs = 1500;

    explicit CInitialSplash(QWidget* parent = nullptr);

    CTransparentStatic2* m_status;
    CTransparentStatic2* m_version;
    int m_timerId = 0;
    int m_tickCount = 0;

protected:
    void OnInitDialog() override;
    void timerEvent(QTimerEvent* event) override;

private:
    void StopTimer();
};

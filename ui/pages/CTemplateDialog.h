#pragma once

#include <QDialog>

#include "ui/DialogTemplate.h"

// A modal dialog built from a template. OnInitDialog runs once, just before the dialog is
// first shown, when every control exists.
class CTemplateDialog : public QDialog {
    Q_OBJECT

public:
    explicit CTemplateDialog(const dialog::DialogTemplate& dialogTemplate,
                             QWidget* parent = nullptr);

    int TemplateId() const { return templateId_; }

protected:
    virtual void OnInitDialog() {}
    void showEvent(QShowEvent* event) override;

    QWidget* Control(int id) const { return dialog::FindControl(this, id); }
    template <class T>
    T* ControlAs(int id) const {
        return dialog::FindControlAs<T>(this, id);
    }

private:
    int templateId_;
    bool initialised_ = false;
};

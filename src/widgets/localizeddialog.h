#pragma once

#include <QDialog>

/// A dialog that sets its texts again when the interface language changes.
class LocalizedDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LocalizedDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    /// Sets every translatable text of the dialog; called on each language change.
    virtual void retranslateUi();

protected:
    void changeEvent(QEvent* event) override;
};

#include "widgets/localizeddialog.h"

#include <QEvent>

LocalizedDialog::LocalizedDialog(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
{
}

void LocalizedDialog::retranslateUi()
{
}

void LocalizedDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

#pragma once

#include "widgets/localizeddialog.h"

#include <QPointer>
#include <QTextEdit>

class QLabel;
class QPushButton;

/// Shows the end-user licence agreement: read only with "OK", or with "Accept" and "Reject"
/// (Reject being the default) when the user must agree before going on. Run it with exec():
/// Accepted for "Accept" and "OK", Rejected for "Reject" or closing the window.
class EulaDialog : public LocalizedDialog
{
    Q_OBJECT
public:
    EulaDialog(QWidget* parent, const QString& html, bool acceptRejectMode);

    void retranslateUi() override;
    QTextEdit* textView() const { return m_view; }

    /// The agreement from `resource` with "_APP_" and "_COMP_" replaced by the product and the
    /// company name; a short notice instead when the resource cannot be read.
    static QString licenseText(const QString& resource = QStringLiteral(":/about/eula_en-US"));

private:
    const bool m_acceptRejectMode;
    QPointer<QLabel> m_hint;
    QPointer<QTextEdit> m_view;
    QPointer<QPushButton> m_acceptButton;
    QPointer<QPushButton> m_rejectButton;
    QPointer<QPushButton> m_okButton;
};

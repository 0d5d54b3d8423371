#pragma once

#include "ui/clockwidget.h"
#include "widgets/linklabel.h"
#include "widgets/localizeddialog.h"

#include <QPointer>

#include <functional>

class QLabel;
class QPushButton;

/// The product's name, version, notices and links beside the spinning clock; tells the user
/// when this run's update check found a newer version.
class AboutDialog : public LocalizedDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    void retranslateUi() override;
    /// The update notice; null when no newer version was seen in this run.
    LinkLabel* updateNotice() const { return m_updateNotice; }
    ClockWidget* clock() const { return m_clock; }

    /// Hook for the agreement's modal dialog, so that tests do not block: it gets the
    /// agreement text. An empty hook restores the dialog.
    using EulaHook = std::function<void(QWidget* parent, const QString& html)>;
    static void setEulaHook(EulaHook hook);

public Q_SLOTS:
    void _onLinkClicked(const QString& link);

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void _release();

    /// The nested dialogs running now (licence, about Qt). While one runs, this dialog and the
    /// clicked label are below its event loop on the stack, so their deletion waits for it.
    int m_nestedDialogs = 0;
    bool m_releasePending = false;
    QPointer<QLabel> m_legal;
    QPointer<LinkLabel> m_qtNotice;
    QPointer<LinkLabel> m_eulaNotice;
    QPointer<QLabel> m_webSite;
    QPointer<LinkLabel> m_updateNotice;
    QPointer<QPushButton> m_okButton;
    QPointer<ClockWidget> m_clock;
};

/// Shows the about dialog, or brings the open one to the front.
void showAboutDialog(QWidget* parent);
/// The about dialog that is open, or null.
AboutDialog* openAboutDialog();

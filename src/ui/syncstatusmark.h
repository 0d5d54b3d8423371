#pragma once

#include "sync/syncservice.h"
#include "widgets/fancytoolbtn.h"

#include <QPointer>

/// The sync state in the toolbar: an icon and a word or two (syncing, synced and when,
/// offline, needs attention), the whole sentence of the service as tool tip and accessible
/// name. Not there while sync is off. A click (or Return) is handled by the window.
class SyncStatusMark : public FancyToolBtn
{
    Q_OBJECT
public:
    enum class Look { Hidden, Waiting, Syncing, Synced, Offline, Attention };

    explicit SyncStatusMark(QWidget* parent = nullptr);

    /// The service whose state the mark shows; null: no mark.
    void setService(sync::SyncService* service);
    sync::SyncService* service() const { return m_service; }
    Look look() const { return m_look; }
    /// Whether the state asks the user to act (password or settings), rather than to wait.
    bool needsAttention() const { return m_look == Look::Attention; }
    /// The icon of a look, drawn in the colour scheme at a device pixel ratio.
    static QPixmap picture(Look look, qreal ratio);

Q_SIGNALS:
    /// The mark is wanted, or not (sync turned on or off).
    void wantedChanged(bool wanted);

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void _update();
    QIcon _icon() const;

    QPointer<sync::SyncService> m_service;
    Look m_look = Look::Hidden;
};

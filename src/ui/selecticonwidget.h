#pragma once

#include <QListWidget>
#include <QStringList>

#include "widgets/focusiconcatalogue.h"

/// A one-row strip of the group icons with their names under them, scrolled sideways.
/// A mouse click on an icon reports it; moving the current item with the keyboard does not.
class SelectIconWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit SelectIconWidget(QWidget* parent = nullptr);

    /// Key of the current item; empty when there is none.
    QString currentIcon() const;
    /// Makes the item of `key` current and scrolls to it; an empty key means the green star.
    /// Unknown keys change nothing.
    void setCurrentIcon(const QString& key);
    /// Display name of `key`; empty for a key the catalogue lacks.
    QString iconName(const QString& key) const;

    /// The keys shown, in row order.
    QStringList iconKeys() const { return m_keys; }

Q_SIGNALS:
    void iconChanged(const QString& iconKeyName);
    void iconDoubleClicked(const QString& iconKeyName);

public Q_SLOTS:
    void _onItemActivated(QListWidgetItem* item);
    void _onItemDoubleClicked(QListWidgetItem* item);

protected:
    void changeEvent(QEvent* event) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    void _retranslate();
    /// Every icon in view: a grid of this many columns, its cells as wide as the longest name.
    static constexpr int Columns = 5;
    QString keyOfItem(QListWidgetItem* item) const;

    FocusIconMap m_catalogue;
    QStringList m_keys;
};

#pragma once

#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QUuid>

#include "widgets/linklabel.h"

/// The card shown in the middle of an empty group: the group's faded icon beside a short text
/// that explains the group. The Inbox text carries a link that asks for starter tasks.
class GroupHintWidget : public QLabel
{
    Q_OBJECT
public:
    GroupHintWidget(const QIcon& icon, const QString& html, QWidget* parent = nullptr);

    void setIcon(const QIcon& icon);
    void setHintText(const QString& html);
    LinkLabel* textLabel() const { return m_text; }
    QLabel* iconLabel() const { return m_icon; }

    /// The explanation shown for a group.
    static QString hintText(const QUuid& groupId);

Q_SIGNALS:
    /// The link of the text was clicked.
    void headStart(const QString& href);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void _showText();

    QPointer<QLabel> m_icon;
    QPointer<LinkLabel> m_text;
    QString m_html;
};

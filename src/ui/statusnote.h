#pragma once

#include <QLabel>

class QTimer;

/// A line under the task list that says for a few seconds what a command did ("Undone:
/// Delete") or why it did nothing; screen readers hear it as it appears.
class StatusNote : public QLabel
{
    Q_OBJECT
public:
    explicit StatusNote(QWidget* parent = nullptr, int shownMs = 6000);

    void showNote(const QString& text);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void _takeColours();

    QTimer* m_timer;
};

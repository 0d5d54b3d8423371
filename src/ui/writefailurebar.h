#pragma once

#include <QFrame>

class QLabel;

/// A bar across the top of the window while changes cannot be written to the disk: it says
/// why, and that the program keeps trying. Hidden while writes succeed.
class WriteFailureBar : public QFrame
{
    Q_OBJECT
public:
    explicit WriteFailureBar(QWidget* parent = nullptr);

    /// Shows the bar with `reason` (the system's words); an empty reason hides it.
    void setReason(const QString& reason);
    QString text() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void _update();

    QLabel* m_label;
    QString m_reason;
};

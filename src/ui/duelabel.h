#pragma once

#include <QLabel>
#include <QStaticText>

/// The due date at the end of a closed task row: one line of plain text, laid out once for each
/// text rather than for every size asked and every paint, as the rows are bound to other tasks
/// and repainted at every step of a scroll.
class DueLabel : public QLabel
{
    Q_OBJECT
public:
    explicit DueLabel(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    const QStaticText& _laidOut() const;

    mutable QStaticText m_laidOut;
    mutable bool m_laidOutValid = false;
};

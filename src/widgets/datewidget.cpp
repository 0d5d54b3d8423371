#include "widgets/datewidget.h"

#include "settings/appsettings.h"
#include "widgets/accessiblenotifier.h"
#include "widgets/calendarpopup.h"
#include "widgets/colorscheme.h"
#include "widgets/fancylineedit.h"
#include "widgets/hintededit.h"
#include "widgets/mycalendar.h"
#include "widgets/mycalendarmonthwidget.h"

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>

DateWidget::DateWidget(const QDateTime& value, QWidget* parent)
    : QWidget(parent)
    , m_value(value)
{
    const QString text = value.date().isValid() ? value.date().toString(displayFormat()) : QString();
    m_edit = new Edit(text, tr("Due date"), this);
    m_edit->setObjectName(QStringLiteral("dateEdit"));
    m_edit->setFrame(false);
    m_edit->setTextMargins(0, 0, 0, 0);
    m_edit->setBaseColor(ColorScheme::EditBase);
    _retranslate();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit, 0);
    layout->addStretch(1);

    connect(m_edit, &FancyLineEdit::textEdited, this, &DateWidget::_onTextEdited);
    connect(m_edit, &FancyLineEdit::returnPressed, this, &DateWidget::_onReturn);
    connect(m_edit, &FancyLineEdit::gotFocus, this, &DateWidget::_onEditGotFocus);
    m_edit->installEventFilter(this);

    // The main window announces its moves; other windows have no such signal.
    if (parent && window()->metaObject()->indexOfSignal("widgetMoved()") >= 0)
        connect(window(), SIGNAL(widgetMoved()), this, SLOT(_onParentWindowMoved()));
}

DateWidget::Edit* DateWidget::edit() const
{
    return m_edit;
}

CalendarPopup* DateWidget::popup() const
{
    return m_popup;
}

void DateWidget::setValue(const QDateTime& value)
{
    if (value == m_value)
        return;
    m_value = value;
    if (value.date().isValid()) {
        m_edit->leaveHintState();
        m_edit->setText(value.date().toString(displayFormat()));
    } else {
        m_edit->clear();
        if (!m_edit->hasFocus())
            m_edit->showHint();
    }
    if (m_popup)
        m_popup->setDateTime(value.isValid() ? value : QDateTime::currentDateTime());
}

void DateWidget::_retranslate()
{
    const QString format = displayFormat();
    m_edit->setHintText(tr("Due date"));
    // Focusing an empty field proposes tomorrow.
    m_edit->setSavedText(QDate::currentDate().addDays(1).toString(format));
    if (!m_edit->isHintShown() && m_value.date().isValid())
        m_edit->setText(m_value.date().toString(format));
    // As wide as the longest date or the hint, so that what follows the field sits by its text.
    const QFontMetrics metrics = m_edit->fontMetrics();
    int widest = metrics.horizontalAdvance(m_edit->hintText());
    for (int month = 1; month <= 12; ++month)
        widest = qMax(widest, metrics.horizontalAdvance(QDate(2030, month, 28).toString(format)));
    const QMargins margins = m_edit->contentsMargins() + m_edit->textMargins();
    // The line edit's own margin of 2 on either side, and room for the cursor.
    m_edit->setFixedWidth(widest + margins.left() + margins.right() + 2 * 2 + 2);
}

void DateWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        _retranslate();
    QWidget::changeEvent(event);
}

QString DateWidget::displayFormat()
{
    return displayFormat(AppSettings::settings()->dateFormat());
}

QString DateWidget::displayFormat(const QString& baseFormat)
{
    QString format = baseFormat;
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString DateWidget::normalizeTypedDate(const QString& text)
{
    // Day, month and year are separated the way the language writes dates: full stops,
    // slashes or hyphens.
    QChar separator;
    for (const QChar c : text) {
        if (c == QLatin1Char('.') || c == QLatin1Char('/') || c == QLatin1Char('-')) {
            separator = c;
            break;
        }
    }
    QStringList parts = text.split(separator);
    if (separator.isNull() || parts.size() != 3)
        return text;
    for (QString& part : parts) {
        bool ok = false;
        const int number = part.toInt(&ok, 10);
        if (!ok)
            return text;
        part = QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
    }
    return parts.join(separator);
}

void DateWidget::_onTextEdited(const QString&)
{
    m_edit->leaveHintState();
    const QString text = m_edit->userText().trimmed();
    if (text.isEmpty()) {
        m_value = QDateTime();
        if (m_popup)
            m_popup->setDateTime(QDateTime::currentDateTime());
        Q_EMIT valueChanged(m_value);
        return;
    }
    const QDateTime typed(QDate::fromString(normalizeTypedDate(text), displayFormat()), QTime(0, 0));
    if (!typed.isValid())
        return;
    m_value = typed;
    if (m_popup)
        m_popup->setDateTime(m_value);
    Q_EMIT valueChanged(m_value);
}

void DateWidget::_onReturn()
{
    m_edit->leaveHintState();
    // An empty field shows the proposed date when it gains the focus: Return accepts it.
    if (!m_value.isValid() && !m_edit->text().trimmed().isEmpty())
        _onTextEdited(m_edit->text());
    if (m_value.isValid())
        m_edit->setText(m_value.date().toString(displayFormat()));
    m_edit->selectAll();
    // The date is taken, as with a click on a day.
    setPopupVisible(false);
}

bool DateWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::FocusIn)
        m_focusInReason = static_cast<QFocusEvent*>(event)->reason();
    // Claiming the keys in the shortcut check as well keeps them from the window's shortcuts.
    if (watched == m_edit && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (_takeCalendarKey(key)) {
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Acts on a key of the calendar; for the shortcut check it only claims the key.
bool DateWidget::_takeCalendarKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    int days = 0;
    int months = 0;
    if (modifiers == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Up:
            days = -7;
            break;
        case Qt::Key_Down:
            days = 7;
            break;
        case Qt::Key_PageUp:
            months = -1;
            break;
        case Qt::Key_PageDown:
            months = 1;
            break;
        case Qt::Key_Escape:
            if (!m_popup)
                return false;
            if (event->type() == QEvent::KeyPress)
                setPopupVisible(false);
            return true;
        default:
            return false;
        }
    } else if (modifiers == Qt::AltModifier && event->key() == Qt::Key_Left) {
        days = -1;
    } else if (modifiers == Qt::AltModifier && event->key() == Qt::Key_Right) {
        days = 1;
    } else {
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return true;
    if (!m_popup) {
        setPopupVisible(true);
        m_popup->calendar()->monthWidget()->announceChosenDay();
    } else if (months != 0) {
        m_popup->calendar()->moveMonths(months);
    } else {
        m_popup->calendar()->moveDays(days);
    }
    m_calendarSpoke = true;
    return true;
}

void DateWidget::_onEditGotFocus(bool got)
{
    // Our popup being activated takes the focus only until it hands the activation back.
    if (!got && m_popup && QApplication::activeWindow() == m_popup)
        return;
    // A click on a day activates the calendar's window on some desktops, and closes it; the
    // activation coming back afterwards must not open it again.
    const bool pickedBefore = m_closedByPick;
    m_closedByPick = false;
    if (got && pickedBefore && m_focusInReason == Qt::ActiveWindowFocusReason)
        return;
    setPopupVisible(got);
}

void DateWidget::setPopupVisible(bool show)
{
    if (!show) {
        if (m_popup) {
            m_popup->hide();
            m_popup->deleteLater();
            m_popup = nullptr;
        }
        // The calendar's cells go with it: a screen reader comes back to the field.
        if (m_calendarSpoke && m_edit->hasFocus()) {
            QAccessibleEvent focus(m_edit, QAccessible::Focus);
            AccessibleNotifier::notify(&focus);
        }
        m_calendarSpoke = false;
        return;
    }
    if (!m_popup) {
        m_popup = new CalendarPopup(this);
        m_popup->setDateTime(QDateTime(QDate::fromString(m_edit->userText(), displayFormat()), QTime(0, 0)));
        connect(m_popup, &CalendarPopup::dateTimeChanged, this, &DateWidget::_onCalendarDateChanged);
        // A picked day is the answer: the calendar goes until the field is focused again.
        connect(m_popup, &CalendarPopup::dayPicked, this, [this] {
            m_closedByPick = true;
            setPopupVisible(false);
        }, Qt::QueuedConnection);
    }
    _placePopup();
}

void DateWidget::_placePopup()
{
    // Centred below the middle of the field's bottom edge.
    const QPoint anchor = mapToGlobal(QPoint(m_edit->x() + m_edit->width() / 2, height()));
    m_popup->move(anchor - QPoint(m_popup->sizeHint().width() / 2, 0));
    m_popup->show();
}

void DateWidget::_onParentWindowMoved()
{
    if (m_popup && m_popup->isVisible())
        _placePopup();
}

void DateWidget::_onCalendarDateChanged(const QDateTime& dateTime)
{
    m_value = dateTime;
    m_edit->leaveHintState();
    m_edit->setText(dateTime.date().toString(displayFormat()));
    m_edit->selectAll();
    Q_EMIT valueChanged(dateTime);
}

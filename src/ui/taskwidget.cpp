#include "ui/taskwidget.h"

#include "core/taskcore.h"
#include "store/repeatrule.h"
#include "store/taskstorage.h"
#include "ui/duelabel.h"
#include "ui/repeatbutton.h"
#include "ui/repeaticon.h"
#include "ui/repeattext.h"
#include "ui/tasklistwidget.h"
#include "ui/userstep.h"
#include "widgets/colorscheme.h"
#include "widgets/elidedlabel.h"

#include <QDeadlineTimer>
#include <QHBoxLayout>
#include <QIcon>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedLayout>
#include <QTimer>

namespace {

TodoTask readTask(const TodoTask::Id& id)
{
    const auto storage = TaskCore::instance()->storage();
    return storage ? storage->task(id) : TodoTask();
}

// A name is one line; one pasted with line breaks still shows on one.
QString oneLine(const QString& text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return line;
}

QDate (*g_clock)() = nullptr;

QDate currentDay()
{
    if (g_clock)
        return g_clock();
    // Asking the system for the local date costs a time zone conversion, too much for every row
    // bound or painted: the date is kept until the next midnight, or a minute at most, so a
    // change of clock or time zone shows within a minute.
    static QDate day;
    static QDeadlineTimer until;
    if (until.hasExpired()) {
        const QDateTime now = QDateTime::currentDateTime();
        day = now.date();
        until.setRemainingTime(qBound(qint64(1), now.msecsTo(day.addDays(1).startOfDay()), qint64(60000)),
                               Qt::PreciseTimer);
    }
    return day;
}

bool hasText(const QString& text)
{
    for (const QChar c : text) {
        if (!c.isSpace())
            return true;
    }
    return false;
}

// Puts a part of the closed row before the first of `later` that exists, else at the end.
void insertBefore(QHBoxLayout* layout, QWidget* widget, std::initializer_list<QWidget*> later)
{
    for (QWidget* next : later) {
        if (next) {
            layout->insertWidget(layout->indexOf(next), widget);
            return;
        }
    }
    layout->addWidget(widget);
}

// The hue of the overdue tint, dark enough to read on the tint and on a selected row, or light
// enough under a dark palette.
QColor overdueTextColor()
{
    const QColor tint = schemeColor(ColorScheme::DueNow);
    return QColor::fromHslF(tint.hslHueF(), qMax(tint.hslSaturationF(), 0.6f),
                            ColorScheme::instance()->isDark() ? 0.8f : 0.3f);
}

} // namespace

void TaskWidget::setClock(QDate (*today)())
{
    g_clock = today;
}

QString TaskWidget::dueText(const QDateTime& due, bool completed, const QDate& today)
{
    if (completed || !due.isValid())
        return QString();
    const QDate day = due.toLocalTime().date();
    const qint64 days = today.daysTo(day);
    if (days == 0)
        return tr("Today", "due date");
    if (days == 1)
        return tr("Tomorrow", "due date");
    const QLocale locale;
    // Within the coming week a weekday names one day only.
    if (days > 1 && days < 7) {
        const QString name = locale.standaloneDayName(day.dayOfWeek(), QLocale::LongFormat);
        // It stands alone at the row's end, as "Today" does: with a capital.
        return locale.toUpper(name.left(1)) + name.mid(1);
    }
    return locale.toString(day, DateWidget::displayFormat());
}

TaskWidget::TaskWidget(const TodoTask::Id& taskId, TaskListWidget* list, QWidget* parent)
    : QWidget(parent)
    , m_taskId(taskId)
    , m_task(readTask(taskId))
    , m_list(list)
{
    setObjectName(QStringLiteral("taskRow"));
    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    _buildViewFace();
    setEditMode(false, true);
    setFocusPolicy(Qt::NoFocus);
    refreshLabel();
}

void TaskWidget::bind(const TodoTask::Id& taskId)
{
    m_taskId = taskId;
    m_task = readTask(taskId);
    m_flags &= ~unsigned(SelectedFlag | FocusFlag);
    m_createdByNew = false;
    if (isEditing()) {
        setEditMode(false);
        return;
    }
    m_label->setFullText(oneLine(m_task.name()));
    m_inCheckboxChange = true;
    m_viewCheckbox->setChecked(m_task.completed());
    m_inCheckboxChange = false;
    refreshLabel();
    update();
}

void TaskWidget::setGroupName(const QString& name)
{
    if (!m_groupLabel) {
        if (name.isEmpty())
            return;
        m_groupLabel = new ElidedLabel(m_label->parentWidget());
        m_groupLabel->setObjectName(QStringLiteral("groupLabel"));
        m_groupLabel->setTextFormat(Qt::PlainText);
        // In a narrow list the group is cut before the marks and the date are.
        m_groupLabel->setMinimumWidth(m_groupLabel->fontMetrics().horizontalAdvance(QStringLiteral("W") + QChar(0x2026)));
        setSchemeColor(m_groupLabel, QPalette::WindowText, ColorScheme::FadedText);
        insertBefore(_viewLayout(), m_groupLabel, {m_notesMark, m_repeatMark, m_dueLabel});
    }
    m_groupLabel->setText(name);
    m_groupLabel->setVisible(!name.isEmpty());
}

void TaskWidget::_buildViewFace()
{
    auto* page = new QWidget(this);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(5, 5, 5, 4);
    layout->setSpacing(5);
    m_viewCheckbox = new TaskCheckbox(page);
    m_viewCheckbox->setObjectName(QStringLiteral("viewCheckbox"));
    m_viewCheckbox->setFocusPolicy(Qt::NoFocus);
    connect(m_viewCheckbox, &FancyCheckbox::stateChanged, this, &TaskWidget::_checkboxChanged);
    m_label = new ElidedLabel(page);
    m_label->setObjectName(QStringLiteral("taskLabel"));
    m_label->setMargin(0);
    m_label->setIndent(0);
    m_label->setFrameStyle(QFrame::NoFrame);
    m_label->setTextFormat(Qt::PlainText);
    // A long name is cut at the row's edge instead of widening the whole list.
    m_label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(m_viewCheckbox);
    layout->addWidget(m_label, 1);
    m_stack->addWidget(page);
}

QHBoxLayout* TaskWidget::_viewLayout() const
{
    return static_cast<QHBoxLayout*>(m_label->parentWidget()->layout());
}

// The mark and the date are made when a row first needs them: a list shows a group by making
// its rows, and most tasks have neither. They keep their room; the name gives up its own first.
void TaskWidget::_addNotesMark()
{
    m_notesMark = new QLabel(m_label->parentWidget());
    m_notesMark->setObjectName(QStringLiteral("notesMark"));
    m_notesMark->setPixmap(QPixmap(QStringLiteral(":/icons/edit_note")));
    m_notesMark->setAlignment(Qt::AlignCenter);
    m_notesMark->setToolTip(tr("Notes"));
    m_notesMark->setAccessibleName(tr("Notes"));
    insertBefore(_viewLayout(), m_notesMark, {m_repeatMark, m_dueLabel});
}

void TaskWidget::_addRepeatMark()
{
    m_repeatMark = new QLabel(m_label->parentWidget());
    m_repeatMark->setObjectName(QStringLiteral("repeatMark"));
    m_repeatMark->setAlignment(Qt::AlignCenter);
    QLabel* mark = m_repeatMark;
    followScheme(mark, [mark] { mark->setPixmap(repeatIcon().pixmap(QSize(16, 16), mark->devicePixelRatioF())); });
    insertBefore(_viewLayout(), m_repeatMark, {m_dueLabel});
}

RepeatButton* TaskWidget::repeatButton() const
{
    return m_repeatButton;
}

void TaskWidget::_addDueLabel()
{
    m_dueLabel = new DueLabel(m_label->parentWidget());
    m_dueLabel->setObjectName(QStringLiteral("dueLabel"));
    _viewLayout()->addWidget(m_dueLabel);
}

void TaskWidget::_buildEditorFace()
{
    m_editorPage = new QWidget(this);
    m_editorPage->setObjectName(QStringLiteral("editorPage"));
    m_grid = new QGridLayout(m_editorPage);
    m_grid->setContentsMargins(5, 2, 5, 2);
    m_grid->setHorizontalSpacing(2);
    m_grid->setVerticalSpacing(2);

    m_editCheckbox = new TaskCheckbox(m_editorPage);
    m_editCheckbox->setObjectName(QStringLiteral("editCheckbox"));
    m_editCheckbox->setFocusPolicy(Qt::NoFocus);
    connect(m_editCheckbox, &FancyCheckbox::stateChanged, this, &TaskWidget::_checkboxChanged);

    m_nameEdit = new NameEdit(m_task.name(), tr("Task name"), m_editorPage);
    m_nameEdit->setObjectName(QStringLiteral("nameEdit"));
    m_nameEdit->setFrame(false);
    m_nameEdit->setTextMargins(0, 0, 0, 0);
    m_nameEdit->setBaseColor(ColorScheme::EditBase);
    connect(m_nameEdit, &QLineEdit::returnPressed, this, &TaskWidget::_stopEditing);
    connect(m_nameEdit, &QLineEdit::textEdited, this, &TaskWidget::_nameTextChanged);
    connect(m_nameEdit, &FancyLineEdit::gotFocus, this, &TaskWidget::_someEditGotFocus);

    auto* noteIcon = new QLabel(m_editorPage);
    noteIcon->setPixmap(QPixmap(QStringLiteral(":/icons/edit_note")));
    noteIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    m_notesEdit = new NotesTextEdit(m_task.notes(), tr("Notes"), m_editorPage);
    connect(m_notesEdit, &QTextEdit::textChanged, this, &TaskWidget::_notesTextChanged);
    connect(m_notesEdit, &NotesTextEdit::linesChanged, this, &TaskWidget::_fitHeight);
    connect(m_notesEdit, &NotesTextEdit::gotFocus, this, &TaskWidget::_someEditGotFocus);

    auto* dueIcon = new QLabel(m_editorPage);
    dueIcon->setPixmap(QPixmap(QStringLiteral(":/icons/edit_duedate")));
    m_dateWidget = new DateWidget(m_task.due(), m_editorPage);
    m_dateWidget->setObjectName(QStringLiteral("dateWidget"));
    connect(m_dateWidget, &DateWidget::valueChanged, this, &TaskWidget::_dueDateChanged);
    // Made after the date field, so that Tab goes from the one to the other.
    m_repeatButton = new RepeatButton(m_editorPage);
    m_repeatButton->setRule(RepeatRule::parse(m_task.repeatRule()));
    m_repeatButton->setDueDate(m_task.due().toLocalTime().date(), currentDay());
    connect(m_repeatButton, &RepeatButton::ruleChosen, this, &TaskWidget::_repeatChosen);
    auto* dueRow = new QHBoxLayout;
    dueRow->setSpacing(4);
    dueRow->addWidget(m_dateWidget);
    dueRow->addWidget(m_repeatButton);
    dueRow->addStretch(1);

    m_grid->addWidget(m_editCheckbox, 0, 0);
    m_grid->addWidget(m_nameEdit, 0, 1);
    m_grid->addWidget(noteIcon, 1, 0);
    m_grid->addWidget(m_notesEdit, 1, 1);
    m_grid->addWidget(dueIcon, 2, 0);
    m_grid->addLayout(dueRow, 2, 1);
    m_stack->addWidget(m_editorPage);
}

void TaskWidget::setSelected(bool selected)
{
    if (selected == isSelected())
        return;
    if (selected)
        m_flags |= SelectedFlag;
    else
        m_flags &= ~unsigned(SelectedFlag);
    update();
}

void TaskWidget::setEditMode(bool editing, bool force, bool keepFocus)
{
    if (!force && editing == isEditing())
        return;
    int height;
    if (editing) {
        if (!m_editorPage)
            _buildEditorFace();
        m_stack->setCurrentWidget(m_editorPage);
        height = m_editorPage->sizeHint().height();
        m_flags |= EditingFlag;
        if (!keepFocus)
            m_nameEdit->setFocus();
        m_editCheckbox->setChecked(m_task.completed());
    } else {
        QWidget* viewPage = m_stack->widget(0);
        m_stack->setCurrentIndex(0);
        height = viewPage->sizeHint().height();
        m_flags &= ~unsigned(EditingFlag);
        m_label->setFullText(oneLine(m_task.name()));
        m_viewCheckbox->setChecked(m_task.completed());
        if (m_editorPage) {
            m_stack->removeWidget(m_editorPage);
            m_editorPage->hide();
            m_editorPage->deleteLater();
        }
        m_editorPage = nullptr;
        m_grid = nullptr;
        m_editCheckbox = nullptr;
        m_nameEdit = nullptr;
        m_notesEdit = nullptr;
        m_dateWidget = nullptr;
        m_repeatButton = nullptr;
    }
    refreshLabel();
    setFixedHeight(height);
    update();
}

void TaskWidget::applyCompleted(bool done)
{
    if (m_task.id().isNull() || m_task.completed() == done)
        return;
    {
        UserStep step(done ? tr("Complete") : tr("Reopen"));
        m_task.setCompleted(done);
    }
    if (done && isEditing() && m_list)
        m_list->finishEditing(this, false);
    refreshLabel();
    update();
}

void TaskWidget::setCompleted(bool done)
{
    applyCompleted(done);
    m_inCheckboxChange = true;
    for (TaskCheckbox* box : {m_viewCheckbox.data(), m_editCheckbox.data()}) {
        if (box)
            box->setChecked(m_task.completed());
    }
    m_inCheckboxChange = false;
}

void TaskWidget::refreshLabel()
{
    if (!m_label)
        return;
    _refreshName();
    _refreshDetails(currentDay());
}

void TaskWidget::_refreshName()
{
    QFont font = m_label->font();
    if (font.strikeOut() != m_task.completed()) {
        font.setStrikeOut(m_task.completed());
        m_label->setFont(font);
        m_viewCheckbox->setOpacity(m_task.completed() ? 0.6 : 1.0);
    }
    if (m_task.name().isEmpty())
        m_label->setFullText(tr("<Unnamed task>"));
    const bool faded = m_task.name().isEmpty() || m_task.completed();
    setPaletteColor(m_label, QPalette::WindowText, schemeColor(faded ? ColorScheme::FadedText : ColorScheme::RowText));
}

void TaskWidget::_refreshDetails(const QDate& today)
{
    const bool notes = hasText(m_task.notes());
    if (notes && !m_notesMark)
        _addNotesMark();
    if (m_notesMark)
        m_notesMark->setVisible(notes);
    const QDate day = m_task.due().isValid() ? m_task.due().toLocalTime().date() : QDate();
    if (m_task.repeatRule() != m_shownRule || day != m_shownRuleDue) {
        m_shownRule = m_task.repeatRule();
        m_shownRuleDue = day;
        const RepeatRule rule = m_shownRule.isEmpty() ? RepeatRule() : RepeatRule::parse(m_shownRule);
        if (rule.isValid() && !m_repeatMark)
            _addRepeatMark();
        if (m_repeatMark) {
            const QString text = RepeatText::summary(rule, day);
            m_repeatMark->setToolTip(text);
            m_repeatMark->setAccessibleName(text);
            m_repeatMark->setVisible(rule.isValid());
        }
    }
    // Rows are bound afresh at every step of a scroll: the words are made only when they change.
    if (day != m_shownDue || today != m_shownToday || m_task.completed() != m_shownCompleted) {
        m_shownDue = day;
        m_shownToday = today;
        m_shownCompleted = m_task.completed();
        const QString text = dueText(m_task.due(), m_shownCompleted, today);
        if (!text.isEmpty() && !m_dueLabel)
            _addDueLabel();
        if (m_dueLabel) {
            m_dueLabel->setText(text);
            m_dueLabel->setVisible(!text.isEmpty());
        }
        m_shownOverdue = !text.isEmpty() && day < today;
    }
    const int colour = m_shownOverdue ? 1 : 0;
    if (m_dueLabel && colour != m_dueColour) {
        m_dueColour = colour;
        const QColor wanted = m_shownOverdue ? overdueTextColor() : schemeColor(ColorScheme::RowText);
        // A new label mostly inherits it: a palette of its own, which costs, is then not needed,
        // as the row's labels are never disabled and their disabled colour never shows.
        const QPalette& palette = m_dueLabel->palette();
        if (palette.color(QPalette::Active, QPalette::WindowText) != wanted
            || palette.color(QPalette::Inactive, QPalette::WindowText) != wanted)
            setPaletteColor(m_dueLabel, QPalette::WindowText, wanted);
    }
}

QColor TaskWidget::backgroundColor() const
{
    return _backgroundColor(currentDay());
}

QColor TaskWidget::_backgroundColor(const QDate& today) const
{
    if (isSelected())
        return schemeColor(ColorScheme::SelectedRow);
    if (m_task.completed())
        return schemeColor(ColorScheme::CompletedRow);
    if (!m_task.id().isNull() && m_task.due().isValid()) {
        // Calendar days, as the toolkit's daysTo counts them between two local times.
        const qint64 days = today.daysTo(m_task.due().toLocalTime().date());
        if (days < 1)
            return schemeColor(ColorScheme::DueNow);
        if (days < 4)
            return schemeColor(ColorScheme::DueSoon);
    }
    return schemeColor(ColorScheme::OpenRow);
}

void TaskWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isEditing()) {
        painter.setPen(QPen(schemeColor(ColorScheme::Outline), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        painter.setBrush(schemeColor(ColorScheme::EditBase));
        // Half-pixel inset keeps the one-pixel outline crisp.
        painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 5, 5);
    } else {
        const bool dated = !m_task.id().isNull() && m_task.due().isValid() && !m_task.completed();
        const QDate day = dated ? currentDay() : QDate();
        if (dated && day != m_shownToday) {
            // A new day since the date was put into words: "Tomorrow" is now "Today".
            QTimer::singleShot(0, this, [this] { refreshLabel(); });
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(_backgroundColor(day));
        painter.drawRoundedRect(rect(), 5, 5);
        if (m_flags & FocusFlag)
            drawFocusMark(painter, rect(), 5);
    }
}

void TaskWidget::setFocusMarked(bool marked)
{
    if (marked == bool(m_flags & FocusFlag))
        return;
    if (marked)
        m_flags |= FocusFlag;
    else
        m_flags &= ~unsigned(FocusFlag);
    update();
}

void TaskWidget::mousePressEvent(QMouseEvent* event)
{
    if (isEditing())
        event->accept();
    else
        event->ignore();
}

void TaskWidget::mouseReleaseEvent(QMouseEvent* event)
{
    event->ignore();
}

void TaskWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->ignore();
}

void TaskWidget::mouseMoveEvent(QMouseEvent* event)
{
    event->ignore();
}

void TaskWidget::keyPressEvent(QKeyEvent* event)
{
    event->ignore();
}

void TaskWidget::_stopEditing()
{
    if (m_list)
        m_list->finishEditing(this, true);
}

void TaskWidget::_nameTextChanged(const QString&)
{
    if (!m_nameEdit)
        return;
    UserStep step(tr("Edit task"), _editKey());
    m_task.setName(m_nameEdit->userText());
}

void TaskWidget::_notesTextChanged()
{
    if (!m_notesEdit || !m_editorPage)
        return;
    _fitHeight();
    UserStep step(tr("Edit task"), _editKey());
    m_task.setNotes(m_notesEdit->userText());
}

QString TaskWidget::_editKey() const
{
    return m_list ? m_list->editStepKey() : QString();
}

void TaskWidget::_fitHeight()
{
    if (!m_notesEdit || !m_editorPage)
        return;
    m_notesEdit->updateGeometry();
    const int wanted = m_editorPage->sizeHint().height();
    if (wanted != height())
        setFixedHeight(wanted);
}

void TaskWidget::_checkboxChanged(int state)
{
    if (m_inCheckboxChange)
        return;
    m_inCheckboxChange = true;
    applyCompleted(state == 1);
    m_inCheckboxChange = false;
}

void TaskWidget::_dueDateChanged(const QDateTime& due)
{
    {
        UserStep step(tr("Edit task"), _editKey());
        m_task.setDue(due);
    }
    if (m_repeatButton)
        m_repeatButton->setDueDate(due.toLocalTime().date(), currentDay());
    update();
}

void TaskWidget::_repeatChosen(const RepeatRule& rule)
{
    UserStep step(tr("Edit task"), _editKey());
    // A repeating task counts its occurrences from its due date: one without starts today.
    if (rule.isValid() && !m_task.due().isValid()) {
        const QDateTime today(currentDay(), QTime(0, 0));
        m_task.setDue(today);
        if (m_dateWidget)
            m_dateWidget->setValue(today);
    }
    m_task.setRepeat(rule.toText());
    if (m_repeatButton) {
        m_repeatButton->setRule(rule);
        m_repeatButton->setDueDate(m_task.due().toLocalTime().date(), currentDay());
    }
    update();
}

void TaskWidget::_someEditGotFocus(bool got)
{
    if (got && m_dateWidget)
        m_dateWidget->setPopupVisible(false);
}

void TaskWidget::changeEvent(QEvent* event)
{
    // A row kept hidden for reuse puts its date into words and colours it again when it is next
    // bound, not at every change of palette or language while it waits.
    if (ColorScheme::isPaletteChange(event) && m_label) {
        m_dueColour = -1;
        _refreshName();
        if (!isHidden())
            _refreshDetails(currentDay());
    }
    if (event->type() == QEvent::LanguageChange && m_label) {
        if (m_notesMark) {
            m_notesMark->setToolTip(tr("Notes"));
            m_notesMark->setAccessibleName(tr("Notes"));
        }
        _refreshName();
        if (m_nameEdit)
            m_nameEdit->setHintText(tr("Task name"));
        if (m_notesEdit)
            m_notesEdit->setHintText(tr("Notes"));
        m_shownToday = QDate();
        // A mark that shows stands for a rule, which then differs from the cleared one.
        m_shownRule.clear();
        if (!isHidden())
            _refreshDetails(currentDay());
    }
    QWidget::changeEvent(event);
}
